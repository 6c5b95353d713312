"""Writes a synthetic rain gauge record for timing tavrel-cli --record: every interval of
YEARS years at STEP minutes, mostly dry, with storms. Usage: make_record.py OUT.csv YEARS STEP"""
import datetime, random, sys

out, years, step = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
random.seed(1)
t = datetime.datetime(1991, 1, 1)
end = datetime.datetime(1991 + years, 1, 1)
delta = datetime.timedelta(minutes=step)
rain = 0
with open(out, "w") as f:
    f.write("时间,雨量(mm)\n")
    while t < end:
        if rain == 0 and random.random() < 0.002:
            rain = random.randint(6, 60)
        depth = round(random.expovariate(1 / 0.8) * step / 5, 1) if rain else 0.0
        rain = max(0, rain - 1)
        f.write(f"{t:%Y-%m-%d %H:%M},{depth}\n")
        t += delta
