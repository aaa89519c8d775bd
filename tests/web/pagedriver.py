"""What the browser tests and benchmarks share: the web build served from 127.0.0.1, Debian's
chromium headless under chromedriver, and the canvas read back as a picture."""
import base64
import functools
import http.server
import io
import threading
import time

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service

WAIT = 20  # seconds the page may take to show its first frame


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser(profile):
    options = Options()
    options.binary_location = '/usr/bin/chromium'
    # The machine's network is closed: the browser's own background traffic stays off.
    for arg in ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic',
                '--no-first-run', '--disable-background-networking',
                '--disable-component-update', '--disable-sync', '--window-size=1400,1000',
                f'--user-data-dir={profile}']:
        options.add_argument(arg)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def canvas_frame(driver):
    url = driver.execute_script('return Module.canvas.toDataURL("image/png")')
    return Image.open(io.BytesIO(base64.b64decode(url.split(',', 1)[1]))).convert('RGB')


def wait_for_game(driver):
    deadline = time.monotonic() + WAIT
    while time.monotonic() < deadline:
        if driver.execute_script('return !!(window.Module && Module.wordlark && Module.wordlark.frames > 0)'):
            return True
        time.sleep(0.05)
    return False


