"""Headless chromium driven through chromedriver with selenium (the Debian
packages chromium, chromium-driver and python3-selenium), shared by the tests
that need a real browser.

    import browser
    browser.require()                  # skips (77) or fails when something is missing
    with browser.start(work_dir) as driver:
        driver.get(url)
"""

import contextlib
import os
import shutil
import sys
import tempfile

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
SKIPPED = 77

FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
]


def require():
    """Skips the test when the browser, its driver or selenium is missing, or
    fails it where KORVELIN_E2E_REQUIRED is set (in CI, which installs them)."""
    missing = [package for path, package in ((CHROMIUM, "chromium"), (CHROMEDRIVER, "chromium-driver"))
               if not os.access(path, os.X_OK)]
    try:
        import selenium  # noqa: F401
    except ImportError:
        missing.append("python3-selenium")
    if not missing:
        return
    print(f"missing: install the Debian packages {' '.join(missing)} (scripts/install-deps web does)")
    sys.exit(1 if os.environ.get("KORVELIN_E2E_REQUIRED") else SKIPPED)


@contextlib.contextmanager
def start(work_dir, width=1200, height=900):
    """A fresh browser with a profile of its own under work_dir, quit on leaving
    the block; the driver's log is work_dir/chromedriver.log."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    profile = os.path.join(work_dir, "profile")
    shutil.rmtree(profile, ignore_errors=True)
    os.makedirs(profile)
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in FLAGS + [f"--user-data-dir={profile}/data", f"--window-size={width},{height}"]:
        options.add_argument(flag)
    # A home of its own keeps the browser's caches and settings in the profile.
    # Its temporary files go to a short directory of their own: the browser puts
    # a Unix socket there, and a socket path longer than 107 bytes (a build tree
    # a few folders deep) makes it exit before the session starts.
    temp = tempfile.mkdtemp(prefix="korvelin-browser-")
    env = dict(os.environ, HOME=profile, TMPDIR=temp,
               XDG_CONFIG_HOME=f"{profile}/config", XDG_CACHE_HOME=f"{profile}/cache")
    service = Service(CHROMEDRIVER, log_path=os.path.join(work_dir, "chromedriver.log"), env=env)
    try:
        driver = webdriver.Chrome(service=service, options=options)
        driver.set_page_load_timeout(30)
        driver.set_script_timeout(30)
        try:
            yield driver
        finally:
            driver.quit()
    finally:
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    # Run as a program: only the check, for shell tests to call before they start anything.
    require()
