#!/usr/bin/python3
"""The browser game's first frame: from opening the page to the first frame in the canvas.

Serves the web build from 127.0.0.1 and opens it in Debian's chromium, headless, with the
browser's cache off, so that every load fetches and compiles everything again. The first load
is also the browser's first page; the others find the browser running, as a player's would.
Prints each load's milestones and the median; exits 1 when the median passes BOUND_MS.

usage: web-first-frame.py BUILD_WEB [LOADS]
"""
import os
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from pagedriver import browser, serve, wait_for_game  # noqa: E402

BOUND_MS = 1000


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    web = sys.argv[1]
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    server = serve(web)
    firsts = []
    with tempfile.TemporaryDirectory() as profile:
        driver = browser(profile)
        try:
            driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': True})
            for load in range(loads):
                # A page of its own each time, so that nothing of the last one is reused.
                driver.get(f'http://127.0.0.1:{server.server_port}/index.html?load={load}')
                if not wait_for_game(driver):
                    print(f'load {load}: no frame')
                    return 1
                t = driver.execute_script(
                    'const w = Module.wordlark, r = performance.getEntriesByType("resource");'
                    'const end = (name) => Math.round(Math.max(...r.filter('
                    '  (e) => e.name.endsWith(name)).map((e) => e.responseEnd)));'
                    'return [end("wordlark.js"), end("wordlark.wasm"), end("wordlark.data"),'
                    '        Math.round(w.storageReadAt), Math.round(w.startedAt),'
                    '        Math.round(w.firstFrameAt)];')
                firsts.append(t[5])
                print(f'load {load}: wordlark.js {t[0]} ms, wasm {t[1]} ms, data {t[2]} ms, '
                      f'storage read {t[3]} ms, game started {t[4]} ms, first frame {t[5]} ms')
        finally:
            driver.quit()
            server.shutdown()
    median = statistics.median(firsts)
    print(f'first frame from opening the page: median {median:.0f} ms, first load '
          f'{firsts[0]} ms, best {min(firsts)} ms (bound {BOUND_MS} ms)')
    return 0 if median <= BOUND_MS else 1


if __name__ == '__main__':
    sys.exit(main())
