#include "app/tabulon_app.h"

int main(int argc, char** argv) {
    // The application object is built during static initialisation (theApp).
    if (AfxGetApp() != &theApp) return 1;
    return AfxWinMain(argc, argv);
}
