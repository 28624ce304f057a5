#!/usr/bin/env python3
"""The page's side of BM_WebPageAudioDelay (bench_web): opens the web
remote in headless Chromium and starts the sound; for every "ARM" line on
its input it answers "ARMED", then prints when the page decoded the next
sound after silence (ms since the epoch)."""
import os
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

opts = webdriver.ChromeOptions()
for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
          "--autoplay-policy=no-user-gesture-required"):
    opts.add_argument(a)
opts.binary_location = os.environ.get("VOR_CHROMIUM", "/usr/bin/chromium")
d = webdriver.Chrome(service=Service(os.environ.get("VOR_CHROMEDRIVER", "/usr/bin/chromedriver")), options=opts)
try:
    d.get(sys.argv[1])
    deadline = time.time() + 60
    while not d.find_element(By.ID, "remote").is_displayed() and time.time() < deadline:
        time.sleep(0.05)
    d.find_element(By.ID, "listen").click()
    print("READY", flush=True)
    for line in sys.stdin:
        if line.strip() != "ARM":
            break
        # Counted before the program starts the tone.
        had = d.execute_script("return vorantisAudio.onsets.length")
        print("ARMED", flush=True)
        deadline = time.time() + 10
        got = -1
        while time.time() < deadline:
            if d.execute_script("return vorantisAudio.onsets.length") > had:
                got = d.execute_script("return vorantisAudio.onsets[vorantisAudio.onsets.length - 1]")
                break
            time.sleep(0.005)
        print("DECODED", got, flush=True)
finally:
    d.quit()
