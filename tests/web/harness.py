# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The loopback server and headless chromium of page_test.py and bench/web/load.py."""
import functools
import http.server
import threading

from selenium import webdriver
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.chrome.service import Service


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder, handler=Quiet):
    """The folder on a port of the loopback the system picks, served by the handler's class."""
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(handler, directory=str(folder)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser(*arguments, prefs=None, console=False):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--enable-unsafe-swiftshader",
                     "--window-size=1000,760", *arguments):
        options.add_argument(argument)
    if prefs:
        options.add_experimental_option("prefs", prefs)
    if console:
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(options=options, service=Service("/usr/bin/chromedriver"))


def offline(driver):
    """The browser told it has no network (DevTools' network emulation, by rule where the old
    command is gone)."""
    conditions = {"offline": True, "latency": 0, "downloadThroughput": -1,
                  "uploadThroughput": -1}
    driver.execute_cdp_cmd("Network.enable", {})
    try:
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", conditions)
    except WebDriverException:
        driver.execute_cdp_cmd("Network.emulateNetworkConditionsByRule", {
            "matchedNetworkConditions": [{"urlPattern": "", **conditions}]})
