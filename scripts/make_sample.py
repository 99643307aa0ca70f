#!/usr/bin/env python3
"""Writes samples/exemplo.tsm: 30 people by 6 variables, in Tabulon's native format
(Windows-1252, CRLF), with two qualitative variables and a few missing values."""
import random

random.seed(2026)
names = ["Ana", "Bruno", "Carla", "Diogo", "Eduarda", "Fábio", "Gonçalo", "Helena", "Inês", "Joana",
         "Luís", "Mariana", "Nuno", "Óscar", "Patrícia", "Raquel", "Sérgio", "Tiago", "Vera", "Zélia",
         "Afonso", "Beatriz", "César", "Dália", "Filipa", "Gabriel", "Hugo", "Irene", "Jorge", "Leonor"]
female = {"Ana", "Carla", "Eduarda", "Helena", "Inês", "Joana", "Mariana", "Patrícia", "Raquel", "Vera",
          "Zélia", "Beatriz", "Dália", "Filipa", "Irene", "Leonor"}
missing = -9.9
rows = []
for i, n in enumerate(names):
    g = 1 if n in female else 2
    region = 1 + (i * 7) % 3
    height = round(random.gauss(163 if g == 1 else 176, 6.5), 1)
    weight = round(height - 100 + random.gauss(-4 if g == 1 else 0, 6), 1)
    age = random.randint(19, 67)
    income = round(max(8.0, random.gauss(14 + 0.25 * age + (3 if region == 1 else 0), 4)), 2)
    rows.append([n, height, weight, age, region, g, income])
for r, c in ((4, 2), (11, 6), (17, 3), (23, 1), (27, 6)):
    rows[r][c] = missing

lines = ["#Tesmo v7.00#", "%f" % missing, "6",
         "Altura", "1", "Peso", "1", "Idade", "1",
         "Região", "0", "3", "Norte 1", "Centro 2", "Sul 3",
         "Género", "0", "2", "Feminino 1", "Masculino 2",
         "Rendimento", "1"]
for r in rows:
    lines.append(r[0] + "".join(" %f" % v for v in r[1:]))
with open("samples/exemplo.tsm", "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
