#!/usr/bin/env python3
"""Drives the web remote's page in headless Chromium for the browser test.

Usage: browser_check.py URL FULL_PASSWORD READ_PASSWORD SHOT_DIR

It prints one line per finding ("REFUSED ...", "TUNED ...", ...) and, where
the program must look at the receiver, waits for a line on its input:
after "TUNED hz" it waits for "DIAL hz" (the receiver's dial turned) and
checks that the page follows. Exit code 0 when every step passed.
"""
import base64
import json
import math
import os
import socket
import sys
import time
from urllib.parse import urlparse

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

URL, FULL, READ, SHOTS = sys.argv[1:5]
BOUND = 60  # seconds; generous for a busy machine


def say(*words):
    print(*words, flush=True)


def browser():
    opts = webdriver.ChromeOptions()
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
              "--autoplay-policy=no-user-gesture-required", "--window-size=1280,900"):
        opts.add_argument(a)
    opts.binary_location = os.environ.get("VOR_CHROMIUM", "/usr/bin/chromium")
    service = Service(os.environ.get("VOR_CHROMEDRIVER", "/usr/bin/chromedriver"))
    return webdriver.Chrome(service=service, options=opts)


def wait(d, cond, what):
    try:
        return WebDriverWait(d, BOUND, poll_frequency=0.1).until(lambda _: cond())
    except Exception:
        say("FAILED waiting for", what)
        d.save_screenshot(os.path.join(SHOTS, "failed.png"))
        sys.exit(1)


def by_label(d, name):
    """The element whose accessible name is name (the page's own names)."""
    for el in d.find_elements(By.CSS_SELECTOR, "[aria-label], button"):
        label = el.get_attribute("aria-label") or el.text
        if label.strip() == name and el.is_displayed():
            return el
    return None


def log_in(d, password):
    wait(d, lambda: by_label(d, "Password"), "the log-in form")
    by_label(d, "Password").send_keys(password)
    by_label(d, "Log in").click()


def socket_close_code(d):
    """Opens the page's WebSocket from the page itself; the close code."""
    return d.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const ws = new WebSocket('ws://' + location.host + '/ws');
        ws.onclose = (e) => done(e.code);
        setTimeout(() => done(-1), 20000);""")


def raw_upgrade(cookie, origin):
    """A WebSocket handshake with a chosen Origin; the close code the
    server sends first (or the HTTP status when it is not upgraded)."""
    u = urlparse(URL)
    s = socket.create_connection((u.hostname, u.port), timeout=20)
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall((f"GET /ws HTTP/1.1\r\nHost: {u.netloc}\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               f"Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\nOrigin: {origin}\r\n"
               f"Cookie: {cookie}\r\n\r\n").encode())
    data = b""
    while b"\r\n\r\n" not in data:
        data += s.recv(4096)
    head, rest = data.split(b"\r\n\r\n", 1)
    status = head.split(b" ")[1].decode()
    if status != "101":
        return "http " + status
    while len(rest) < 4:
        more = s.recv(4096)
        if not more:
            return "closed"
        rest += more
    opcode = rest[0] & 0x0F
    if opcode != 8:
        return "opcode %d" % opcode  # it was served
    return str(int.from_bytes(rest[2:4], "big"))


def strongest_hz(samples, rate):
    """The strongest frequency of samples (a plain DFT, 10 Hz apart)."""
    n = len(samples)
    best, best_hz = -1.0, 0
    for hz in range(100, min(4000, rate // 2), 10):
        w = 2 * math.pi * hz / rate
        re = sum(x * math.cos(w * i) for i, x in enumerate(samples))
        im = sum(x * math.sin(w * i) for i, x in enumerate(samples))
        p = re * re + im * im
        if p > best:
            best, best_hz = p, hz
    return best_hz, math.sqrt(best) * 2 / n


def main():
    d = browser()
    try:
        d.get(URL)
        # No session yet: the page's socket is refused, and so is a wrong password.
        wait(d, lambda: by_label(d, "Log in"), "the log-in form")
        say("REFUSED no-cookie", socket_close_code(d))
        log_in(d, "not-the-password")
        wait(d, lambda: d.find_element(By.ID, "login-message").text, "the refusal")
        say("REFUSED wrong-password", json.dumps(d.find_element(By.ID, "login-message").text))
        log_in(d, FULL)
        wait(d, lambda: d.find_element(By.ID, "remote").is_displayed(), "the remote after log-in")
        say("LOGGED full", json.dumps(d.find_element(By.ID, "who").text))
        cookie = "; ".join(f"{c['name']}={c['value']}" for c in d.get_cookies())
        flags = [c for c in d.get_cookies() if c["name"] == "vorantis_session"][0]
        say("COOKIE httpOnly=%s sameSite=%s" % (flags.get("httpOnly"), flags.get("sameSite")))
        say("REFUSED foreign-origin", raw_upgrade(cookie, "http://elsewhere.example"))

        # Tune from the page: the program checks the receiver and the panel.
        by_label(d, "Take control").click()
        wait(d, lambda: d.find_element(By.ID, "control").get_attribute("aria-pressed") == "true", "control")
        entry = by_label(d, "Frequency entry")
        entry.clear()
        entry.send_keys("9580")
        by_label(d, "Tune").click()
        freq = by_label(d, "Frequency")
        wait(d, lambda: freq.text == "9580.000", "9580.000 on the page")
        say("TUNED 9580000")
        line = sys.stdin.readline().split()
        if not line or line[0] != "DIAL":
            say("FAILED no dial turn from the program:", line)
            return 1
        shown = "%.3f" % (int(line[1]) / 1000)
        wait(d, lambda: freq.text == shown, shown + " after the dial turn")
        wait(d, lambda: d.find_elements(By.CSS_SELECTOR, "#onair tbody tr"), "what is on the air")
        cells = [c.text for c in d.find_elements(By.CSS_SELECTOR, "#onair tbody tr:first-child td")]
        say("FOLLOWED", line[1], "on air: " + ", ".join(cells[1:]))

        # The sound: the private sound server's 1 kHz sine, decoded in the page.
        by_label(d, "Listen").click()
        wait(d, lambda: d.execute_script("return window.vorantisAudio.decoded") > 72000, "decoded sound")
        a = d.execute_script("return {decoded: vorantisAudio.decoded, rate: vorantisAudio.rate,"
                             " codec: vorantisAudio.codec, recent: vorantisAudio.recent.slice(-2400)}")
        hz, amp = strongest_hz(a["recent"], a["rate"])
        say("AUDIO decoded=%d codec=%s rate=%d peak_hz=%d amplitude=%.3f" % (a["decoded"], a["codec"], a["rate"], hz, amp))

        # Held by the program (the panel's Lock): the meter reads.
        if sys.stdin.readline().strip() != "HELD":
            say("FAILED the receiver was not held")
            return 1
        meter = by_label(d, "S-meter")
        wait(d, lambda: meter.get_attribute("aria-valuetext").startswith("S"), "a meter reading")
        time.sleep(1.5)  # a reading or two more: the frequency stays known
        say("METER role=%s text=%s freq=%s" % (meter.get_attribute("role"),
                                               json.dumps(meter.get_attribute("aria-valuetext")), freq.text))
        d.execute_script("window.scrollTo(0, 0)")
        d.save_screenshot(os.path.join(SHOTS, "web-wide.png"))
        d.set_window_size(390, 844)
        time.sleep(0.5)
        d.save_screenshot(os.path.join(SHOTS, "web-narrow.png"))
        d.execute_script("window.scrollTo(0, document.body.scrollHeight)")
        d.save_screenshot(os.path.join(SHOTS, "web-narrow-end.png"))
        d.set_window_size(1280, 900)
        say("SHOTS", SHOTS)

        # Recall channel 4 from the memory list.
        by_label(d, "Channel 4, 7275.000 kilohertz, Voz del Altiplano").click()
        wait(d, lambda: freq.text == "7275.000", "7275.000 after the recall")
        say("RECALLED 4", freq.text)

        # A listener on the read-only password only listens.
        d.delete_all_cookies()
        d.set_window_size(1280, 900)
        d.get(URL)
        log_in(d, READ)
        wait(d, lambda: d.find_element(By.ID, "remote").is_displayed(), "the read-only remote")
        d.execute_script("ask({t: 'tune', hz: 6000000})")
        msg = d.find_element(By.ID, "message")
        wait(d, lambda: msg.text, "the read-only refusal")
        say("REFUSED read-only", json.dumps(msg.text), "page shows", freq_text(d))
        d.save_screenshot(os.path.join(SHOTS, "web-read-only.png"))
        say("DONE")
        return 0
    finally:
        d.quit()


def freq_text(d):
    return by_label(d, "Frequency").text


if __name__ == "__main__":
    sys.exit(main())
