"""tavrel-cli --record against an independent computation: the annual maxima and the peak
ratio with NumPy from the same generated record, each distribution's quantiles with
scipy.stats (pearson3, gumbel_r, least_squares for the curve fitting), and --fit on the
written table. Usage: record_scipy.py TAVREL_CLI"""
import csv, math, os, subprocess, sys, tempfile
import numpy as np
from scipy.optimize import least_squares
from scipy.stats import gumbel_r, pearson3

cli = sys.argv[1]
D = [5, 10, 15, 20, 30, 45, 60, 90, 120, 150, 180]
T = [2, 3, 5, 10, 20, 30, 50, 100]
rng = np.random.default_rng(7)
folder = tempfile.mkdtemp()
record = os.path.join(folder, "record.csv")
years = range(1991, 2013)
series = {}
with open(record, "w", newline="") as f:
    f.write("time\tmm\r\n")
    for y in years:
        n = (366 if y % 4 == 0 else 365) * 288
        depth = np.zeros(n)
        for _ in range(6):   # storms of a peaked shape, listed interval by interval
            start, peak, scale = rng.integers(0, n - 40), rng.integers(2, 30), rng.gamma(2.0, 3.0)
            k = np.arange(36)
            depth[start:start + 36] += np.round(scale / (1 + np.abs(k - peak)) ** 0.9, 1)
        series[y] = depth
        t0 = np.datetime64(f"{y}-01-01T00:00")
        for i in np.flatnonzero(depth):
            stamp = str(t0 + np.timedelta64(5 * int(i), "m")).replace("T", " ")
            f.write(f"{stamp}\t{depth[i]:.1f}\r\n")

# Annual maxima and the peak ratio, as defined, from the arrays.
maxima = {}
ratios = {t: [] for t in (30, 60, 90, 120, 150, 180)}
for y, depth in series.items():
    c = np.concatenate([[0], np.cumsum(depth)])
    maxima[y] = [np.max(c[d // 5:] - c[:-(d // 5)]) for d in D]
    for t in ratios:
        w = c[t // 5:] - c[:-(t // 5)]
        at = int(np.flatnonzero(w >= w.max() - 1e-9)[0])
        peak = int(np.argmax(depth[at:at + t // 5]))
        ratios[t].append((peak * 5 + 2.5) / t)
r = sum(t * np.mean(v) for t, v in ratios.items()) / sum(ratios)

def quantiles(x, dist):
    x = np.asarray(x); n = len(x); mean = x.mean(); s = x.std(ddof=1); cv = s / mean
    if dist == "gumbel":
        alpha = math.sqrt(6) * s / math.pi
        return [gumbel_r.ppf(1 - 1 / t, loc=mean - 0.5772157 * alpha, scale=alpha) for t in T]
    if dist == "exponential":
        return [(mean - s) + s * math.log(t) for t in T]
    if dist == "p3-moments":
        cs = np.sum((x / mean - 1) ** 3) / ((n - 3) * cv ** 3)
        return [mean * (1 + cv * pearson3.isf(1 / t, cs)) for t in T]
    xs = np.sort(x)[::-1]; p = np.arange(1, n + 1) / (n + 1)
    fit = least_squares(lambda v: xs - v[0] * (1 + v[1] * pearson3.isf(p, 3.5 * v[1])), [mean, cv],
                        xtol=1e-14, ftol=1e-14, gtol=1e-14)
    return [fit.x[0] * (1 + fit.x[1] * pearson3.isf(1 / t, 3.5 * fit.x[1])) for t in T]

failures = []
for dist in ("p3", "p3-moments", "gumbel", "exponential"):
    m_out, t_out = os.path.join(folder, f"m-{dist}.csv"), os.path.join(folder, f"t-{dist}.csv")
    out = subprocess.run([cli, "--record", record, "--dist", dist, "--maxima-out", m_out, "--table-out", t_out],
                         capture_output=True, text=True, check=True).stdout
    with open(m_out, encoding="gbk") as f:
        rows = list(csv.reader(f))[1:]
    for row in rows:
        for d, ours, theirs in zip(D, row[1:], maxima[int(row[0])]):
            if abs(float(ours) - theirs) > 5e-4:
                failures.append(f"{dist}: maximum {row[0]} {d} min {ours} != {theirs:.4f}")
    with open(t_out, encoding="gbk") as f:
        table = list(csv.reader(f))[1:]
    for k, d in enumerate(D):
        want = quantiles([maxima[y][k] for y in years], dist)
        for got, w, t in zip(table[k][1:], want, T):
            tolerance = 1e-4 if dist == "p3" else 1e-7
            if abs(float(got) * d - w) > tolerance * max(1, abs(w)):
                failures.append(f"{dist}: {d} min T={t}: {float(got) * d} != {w}")
    printed_r = float([l for l in out.splitlines() if l.startswith("r,")][0][2:])
    if abs(printed_r - r) > 1e-12:
        failures.append(f"{dist}: r {printed_r} != {r}")
    fit = subprocess.run([cli, "--fit", t_out], capture_output=True, text=True, check=True).stdout
    coefficients = lambda text: [l for l in text.splitlines() if l.split(",")[0] in ("A1", "C", "b", "n")][:4]
    if coefficients(fit) != coefficients(out):
        failures.append(f"{dist}: --fit on the table gives {coefficients(fit)}, --record {coefficients(out)}")

print("\n".join(failures) or "record: maxima, r, quantiles and the formula agree")
sys.exit(1 if failures else 0)
