// A scatter chart of 100,000 points drawn into an 800 x 600 image, and the point under the
// cursor found among them. Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "bench/session.h"
#include "charts/chart_wnd.h"
#include "charts/scatter_chart.h"
#include "platform/afx.h"

namespace {

constexpr int kPoints = 100000;

CPointSeries RandomSeries(bool groups) {
    std::mt19937 rng(11);
    std::normal_distribution<float> noise(0.0f, 10.0f);
    std::uniform_int_distribution<int> group(1, 4);
    std::vector<float> xs, ys;
    std::vector<CString> labels;
    std::vector<int> codes;
    for (int i = 0; i < kPoints; ++i) {
        const float x = noise(rng) * 3.0f;
        xs.push_back(x);
        ys.push_back(0.5f * x + noise(rng));
        labels.push_back(FormatString("a%d", i + 1));
        if (groups) codes.push_back(group(rng));
    }
    return CPointSeries(xs, ys, labels, codes);
}

struct Image {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Image() {
        dc.CreateCompatibleDC(nullptr);
        CDC* screen = CDC::FromHandle(GetDC(nullptr));
        bitmap.CreateCompatibleBitmap(screen, 800, 600);
        ReleaseDC(nullptr, screen->GetSafeHdc());
        old = dc.SelectObject(&bitmap);
    }
    ~Image() { dc.SelectObject(old); }
};

// A new chart drawn once: scales, markers and legend built, every point drawn.
void BM_ScatterFirstDraw(benchmark::State& state) {
    bench::StartToolkit();
    const CPointSeries series = RandomSeries(state.range(0) != 0);
    Image image;
    for (auto _ : state) {
        CScatterChart chart(series, "x", "y", "bench");
        chart.Draw(&image.dc, 0, 0, 800, 600);
        benchmark::DoNotOptimize(chart.GetMarkerCount());
    }
}
BENCHMARK(BM_ScatterFirstDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A repaint of a chart whose elements exist.
void BM_ScatterRedraw(benchmark::State& state) {
    bench::StartToolkit();
    CScatterChart chart(RandomSeries(state.range(0) != 0), "x", "y", "bench");
    Image image;
    chart.Draw(&image.dc, 0, 0, 800, 600);
    for (auto _ : state) {
        chart.ReleaseElementBitmaps();
        chart.Draw(&image.dc, 0, 0, 800, 600);
    }
}
BENCHMARK(BM_ScatterRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The item under the cursor (ItemAt) and the data tip's texts (GetHoverTexts), at points
// spread over the plot; one query an iteration.
void BM_ScatterHitTest(benchmark::State& state) {
    bench::StartToolkit();
    CScatterChart chart(RandomSeries(true), "x", "y", "bench");
    Image image;
    chart.Draw(&image.dc, 0, 0, 800, 600);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> px(60, 789), py(10, 559);
    const bool hover = state.range(0) != 0;
    long found = 0;
    for (auto _ : state) {
        const int x = px(rng), y = py(rng);
        if (hover) {
            std::vector<CString> texts;
            found += chart.GetHoverTexts(texts, x, y) ? 1 : 0;
        } else {
            found += chart.ItemAt(x, y) >= 0 ? 1 : 0;
        }
    }
    state.counters["hits"] = static_cast<double>(found);
}
BENCHMARK(BM_ScatterHitTest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The chart window showing the chart: a full repaint, and a mouse move over it (hover
// texts, then the page's move handling).
void BM_ChartWindow(benchmark::State& state) {
    bench::StartToolkit();
    CScatterChart chart(RandomSeries(true), "x", "y", "bench");
    CWnd top;
    top.Create(nullptr, "bench", WS_POPUP, CRect(0, 0, 800, 600), nullptr, 0);
    top.ShowWindow(SW_SHOW);
    CChartWnd wnd;
    wnd.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &top, 1142);
    wnd.SetPage(&chart);
    afx::ProcessPendingEvents();
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> px(60, 789), py(10, 559);
    const bool repaint = state.range(0) == 0;
    for (auto _ : state) {
        if (repaint) {
            wnd.Invalidate();
            wnd.UpdateWindow();
        } else {
            wnd.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(px(rng), py(rng)));
        }
    }
}
BENCHMARK(BM_ChartWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
