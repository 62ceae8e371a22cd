"""Opens the report page in headless chromium and checks that every chart is
drawn: one bar per day with the hits expected, bar heights ordered as the hits
are (equal hits, equal heights; no hits, no height), the counter's name shown as
text; and that no hostile name or referer turned into markup. Saves a
screenshot of the whole page.

usage: page_check.py PAGE SCREENSHOT WORK_DIR HITS...
  HITS: the hits per day of each chart in page order, as "3,0,1,2".
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
import browser  # noqa: E402

# What the page shows of each chart, measured by the browser after layout.
CHARTS = """
return Array.from(document.querySelectorAll('svg.chart')).map(svg => ({
  title: svg.querySelector('.chart-title').textContent,
  bars: Array.from(svg.querySelectorAll('rect.bar')).map(bar => {
    const box = bar.getBoundingClientRect();
    return {hits: Number(bar.dataset.hits), height: box.height, width: box.width};
  }),
  labels: Array.from(svg.querySelectorAll('g.axes text')).map(t => t.textContent),
}));
"""

# Elements the page must not hold: anything a hostile text could have opened.
INJECTED = """
return document.querySelectorAll('script, b, iframe, img, link, object, embed, svg:not(.chart)').length +
       document.querySelectorAll('[onload], [onerror], [onclick]').length;
"""


def check_chart(number, chart, expected, failures):
    name = f"chart {number} ({chart['title']!r})"
    hits = [bar["hits"] for bar in chart["bars"]]
    if hits != expected:
        failures.append(f"{name}: bars with hits {hits}, expected {expected}")
        return
    most = max(hits)
    for bar in chart["bars"]:
        if bar["hits"] > 0 and (bar["height"] <= 0 or bar["width"] <= 0):
            failures.append(f"{name}: a bar of {bar['hits']} hits is not drawn: {bar}")
        if bar["hits"] == 0 and bar["height"] > 0.01:
            failures.append(f"{name}: a day without hits has a bar of height {bar['height']}")
    for a in chart["bars"]:
        for b in chart["bars"]:
            if a["hits"] > b["hits"] and not a["height"] > b["height"]:
                failures.append(f"{name}: {a['hits']} hits drawn no taller than {b['hits']}: {a}, {b}")
            if a["hits"] == b["hits"] and abs(a["height"] - b["height"]) > 0.01:
                failures.append(f"{name}: equal hits drawn at different heights: {a}, {b}")
    for label in ("0", str(most), "day", "hits per day"):
        if label not in chart["labels"]:
            failures.append(f"{name}: no axis label {label!r} among {chart['labels']}")


def main():
    page, screenshot, work_dir, *expected = sys.argv[1:]
    browser.require()
    failures = []
    with browser.start(work_dir) as driver:
        driver.get("file://" + os.path.abspath(page))
        charts = driver.execute_script(CHARTS)
        if len(charts) != len(expected):
            failures.append(f"{len(charts)} charts, expected {len(expected)}")
        for number, (chart, hits) in enumerate(zip(charts, expected), 1):
            check_chart(number, chart, [int(h) for h in hits.split(",")], failures)
        injected = driver.execute_script(INJECTED)
        if injected:
            failures.append(f"{injected} elements or handlers made from hostile text")
        # The whole page in one picture: the window as tall as the page.
        height = driver.execute_script("return document.documentElement.scrollHeight")
        driver.set_window_size(1000, height + 200)
        if not driver.save_screenshot(screenshot):
            failures.append(f"the screenshot could not be saved to {screenshot}")
        titles = [chart["title"] for chart in charts]
    for failure in failures:
        print("FAILED:", failure)
    if not failures:
        print(f"{len(charts)} charts drawn ({titles}); screenshot in {screenshot}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
