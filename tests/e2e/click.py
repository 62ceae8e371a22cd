"""Opens a page in headless chromium, clicks a link with the mouse and prints
the address the browser ends on. Speaks the DevTools protocol over the pipe
that --remote-debugging-pipe opens (JSON messages ended by a zero byte on file
descriptors 3 and 4), so it needs nothing beyond Python's standard library.

usage: click.py CHROMIUM PROFILE_DIR PAGE_URL CSS_SELECTOR
"""

import fcntl
import json
import os
import select
import signal
import subprocess
import sys
import time

TIMEOUT = 30.0  # seconds for the whole visit

FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update",
    "--disable-sync", "--disable-quic", "--remote-debugging-pipe",
]


class Failure(Exception):
    pass


class Browser:
    def __init__(self, chromium, profile):
        commands_r, self.commands = os.pipe()
        self.replies, replies_w = os.pipe()
        # The browser reads commands on descriptor 3 and writes replies on 4. The
        # pipe's own ends move above 9 first, so that placing them cannot
        # overwrite one another.
        commands_r, replies_w = (self.above_nine(fd) for fd in (commands_r, replies_w))
        launch = f'exec "$0" "$@" 3<&{commands_r} 4>&{replies_w} {commands_r}<&- {replies_w}>&-'
        # A home of its own keeps the browser's caches and settings in the profile.
        env = dict(os.environ, HOME=profile, TMPDIR=profile,
                   XDG_CONFIG_HOME=f"{profile}/config", XDG_CACHE_HOME=f"{profile}/cache")
        with open(os.path.join(profile, "chromium.log"), "wb") as log:
            self.process = subprocess.Popen(
                ["bash", "-c", launch, chromium, *FLAGS, f"--user-data-dir={profile}/data"],
                pass_fds=(commands_r, replies_w), stdin=subprocess.DEVNULL,
                stdout=log, stderr=log, env=env, start_new_session=True)
        os.close(commands_r)
        os.close(replies_w)
        self.pending = b""
        self.next_id = 0
        self.deadline = time.monotonic() + TIMEOUT

    @staticmethod
    def above_nine(fd):
        moved = fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10)
        os.close(fd)
        return moved

    def call(self, method, session=None, **params):
        """Sends one command and returns its result; a protocol error raises Failure."""
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.receive()
            if reply.get("id") != self.next_id:
                continue  # an event, which this visit does not need
            if "error" in reply:
                raise Failure(f"{method}: {reply['error'].get('message')}")
            return reply["result"]

    def receive(self):
        while b"\0" not in self.pending:
            left = self.deadline - time.monotonic()
            if left <= 0 or not select.select([self.replies], [], [], left)[0]:
                raise Failure("the browser did not answer in time")
            chunk = os.read(self.replies, 65536)
            if not chunk:
                raise Failure("the browser closed its pipe")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def evaluate(self, session, expression):
        """The value of a JavaScript expression in the page; None while the page is changing."""
        try:
            result = self.call("Runtime.evaluate", session, expression=expression,
                               returnByValue=True)
        except Failure as failure:
            if "did not answer" in str(failure) or "closed" in str(failure):
                raise
            return None  # the page is between two documents
        return result.get("result", {}).get("value")

    def wait_for(self, session, expression, what):
        """Polls until the expression is true and returns its value."""
        while time.monotonic() < self.deadline:
            value = self.evaluate(session, expression)
            if value:
                return value
            time.sleep(0.05)
        raise Failure(f"timed out waiting for {what}")

    def close(self):
        try:
            self.call("Browser.close")
            self.process.wait(timeout=10)
        except (Failure, OSError, subprocess.TimeoutExpired):
            pass
        # The browser's helper processes share its session: none may outlive the visit.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()


def visit(browser, page_url, selector):
    target = browser.call("Target.createTarget", url=page_url)["targetId"]
    session = browser.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    browser.wait_for(session, f"location.href === {json.dumps(page_url)} && "
                     "document.readyState === 'complete'", "the page to load")
    # The middle of the link, in the window's coordinates, as a real pointer would hit it.
    point = browser.wait_for(session, f"""(() => {{
        const link = document.querySelector({json.dumps(selector)});
        if (!link) return null;
        link.scrollIntoView();
        const box = link.getBoundingClientRect();
        return [box.left + box.width / 2, box.top + box.height / 2];
    }})()""", f"the link {selector}")
    x, y = point
    browser.call("Input.dispatchMouseEvent", session, type="mouseMoved", x=x, y=y)
    for kind in ("mousePressed", "mouseReleased"):
        browser.call("Input.dispatchMouseEvent", session, type=kind, x=x, y=y,
                     button="left", buttons=1 if kind == "mousePressed" else 0, clickCount=1)
    return browser.wait_for(session, f"location.href !== {json.dumps(page_url)} && "
                            "document.readyState === 'complete' && location.href",
                            "the click to lead to another page")


def main():
    chromium, profile, page_url, selector = sys.argv[1:]
    os.makedirs(profile, exist_ok=True)
    browser = Browser(chromium, profile)
    try:
        print(visit(browser, page_url, selector))
    except Failure as failure:
        print(f"click.py: {failure} (the browser's output is in {profile}/chromium.log)",
              file=sys.stderr)
        return 1
    finally:
        browser.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
