"""Opens a page in headless chromium, clicks a link with the mouse and prints
the address the browser ends on.

usage: click.py WORK_DIR PAGE_URL CSS_SELECTOR
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
import browser  # noqa: E402

TIMEOUT = 30.0  # seconds for each wait


def visit(driver, page_url, selector):
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait

    driver.get(page_url)
    wait = WebDriverWait(driver, TIMEOUT)
    wait.until(lambda d: d.current_url == page_url and
               d.execute_script("return document.readyState") == "complete")
    link = wait.until(lambda d: d.find_element(By.CSS_SELECTOR, selector))
    # The pointer moves to the middle of the link and presses there, as a real one would.
    ActionChains(driver).move_to_element(link).click().perform()
    wait.until(lambda d: d.current_url != page_url and
               d.execute_script("return document.readyState") == "complete")
    return driver.current_url


def main():
    work_dir, page_url, selector = sys.argv[1:]
    browser.require()
    os.makedirs(work_dir, exist_ok=True)
    from selenium.common.exceptions import WebDriverException
    try:
        with browser.start(work_dir) as driver:
            print(visit(driver, page_url, selector))
    except WebDriverException as failure:
        print(f"click.py: {failure.msg or failure} (the driver's log is in {work_dir}/chromedriver.log)",
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
