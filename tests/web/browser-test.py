#!/usr/bin/python3
"""The browser game in a real browser: Debian's chromium, headless, driven by chromedriver.

Serves the web build from 127.0.0.1, creates a player by keyboard, plays a whole deal, opens its
analysis, reloads the page and finds the player and his record again. At each step the canvas
must come to show exactly the frame the Linux game's headless replay draws for the same input.

usage: browser-test.py BUILD_WEB BUILD [SHOTS]
  BUILD_WEB  the folder make-web filled
  BUILD      the Linux build (its wordlark draws the frames to match, from its vek.heap)
  SHOTS      where the page's screenshots and any mismatching frames go (BUILD_WEB/test-shots)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from pagedriver import WAIT, browser, canvas_frame, serve, wait_for_game

SEED = 1
DAY = '2026-12-09'  # the footer shows the day's deal number: both games see the same day

# The input of each run, with the frames to compare by name. `tick` is the replay's clock
# alone: the browser's runs by itself, and the test waits for the frame instead.
FIRST_RUN = [
    ('tick', 2), ('shot', 'players'),
    ('type', 'Lark'), ('key', 'return'), ('type', 'pw'), ('key', 'return'),
    ('key', 'f2'), ('tick', 40), ('shot', 'deal'),
    ('type', 'singulars'), ('key', 'return'), ('tick', 60), ('shot', 'verdict'),
    ('key', 'f3'), ('tick', 10), ('shot', 'analysis'),
]
# After the page is loaded again: the player is still there, with his game.
SECOND_RUN = [
    ('tick', 2), ('shot', 'players-again'),
    ('type', 'Lark'), ('key', 'return'), ('type', 'pw'), ('key', 'return'),
    ('tick', 10), ('shot', 'record'),
]
BROWSER_KEYS = {'return': Keys.ENTER, 'f2': Keys.F2, 'f3': Keys.F3, 'escape': Keys.ESCAPE}


def reference_frames(game, data, steps, shots):
    """The frames the Linux game draws for `steps`, on the players' files in `data`."""
    lines = []
    for verb, value in steps:
        lines.append(f'shot {value}.png' if verb == 'shot' else f'{verb} {value}')
    script = '\n'.join(lines) + '\n'
    os.makedirs(shots, exist_ok=True)
    run = subprocess.run([game, '--headless', '--seed', str(SEED), '--date', DAY, '--data', data,
                          '--shots', shots, '--script', '-'],
                         input=script, text=True, capture_output=True, timeout=120)
    if run.returncode != 0:
        sys.exit(f'the headless replay failed ({run.returncode}): {run.stderr}')
    return {value: Image.open(os.path.join(shots, f'{value}.png')).convert('RGB')
            for verb, value in steps if verb == 'shot'}


def wait_for_frame(driver, name, expected, out):
    """Waits until the canvas shows `expected`; on a timeout keeps both and says how far."""
    deadline = time.monotonic() + WAIT
    while True:
        shown = canvas_frame(driver)
        box = ImageChops.difference(shown, expected).getbbox()
        if box is None:
            return True
        if time.monotonic() > deadline:
            shown.save(os.path.join(out, f'{name}-browser.png'))
            expected.save(os.path.join(out, f'{name}-linux.png'))
            differing = sum(1 for p in ImageChops.difference(shown, expected).getdata() if p != (0, 0, 0))
            print(f'FAIL: {name}: {differing} pixels differ from the Linux frame, within {box}')
            return False
        time.sleep(0.1)


def play(driver, steps, frames, out):
    ok = True
    canvas = driver.find_element('id', 'canvas')
    for verb, value in steps:
        if verb == 'type':
            ActionChains(driver).send_keys_to_element(canvas, value).perform()
        elif verb == 'key':
            ActionChains(driver).send_keys_to_element(canvas, BROWSER_KEYS[value]).perform()
        elif verb == 'shot':
            ok = wait_for_frame(driver, value, frames[value], out) and ok
            driver.save_screenshot(os.path.join(out, f'page-{value}.png'))
    return ok


def opens_the_help(driver):
    """F1 opens the help page in a tab of its own; the game's tab stays."""
    game = driver.current_window_handle
    ActionChains(driver).send_keys_to_element(driver.find_element('id', 'canvas'), Keys.F1).perform()
    deadline = time.monotonic() + WAIT
    while len(driver.window_handles) < 2 and time.monotonic() < deadline:
        time.sleep(0.05)
    tabs = [handle for handle in driver.window_handles if handle != game]
    if not tabs:
        print('FAIL: F1 opened no tab')
        return False
    driver.switch_to.window(tabs[0])
    url = driver.current_url
    driver.close()
    driver.switch_to.window(game)
    if not url.endswith('/wordlark-help.html'):
        print(f'FAIL: F1 opened {url}')
        return False
    return True


def says_what_is_missing(driver, url):
    """A browser without WebAssembly or without storage for the page gets a line saying so."""
    ok = True
    for missing, hide in [('WebAssembly', 'delete window.WebAssembly;'),
                          ('IndexedDB', 'Object.defineProperty(window, "indexedDB", {value: undefined});')]:
        script = driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': hide})
        driver.get(url)
        time.sleep(0.5)
        said = driver.find_element('id', 'status').text
        frames = driver.execute_script('return window.Module && Module.wordlark ? Module.wordlark.frames : 0')
        driver.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument',
                               {'identifier': script['identifier']})
        if missing not in said or frames:
            print(f'FAIL: without {missing} the page says {said!r} and shows {frames} frames')
            ok = False
    return ok


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    web, build = sys.argv[1], sys.argv[2]
    out = sys.argv[3] if len(sys.argv) > 3 else os.path.join(web, 'test-shots')
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    work = tempfile.mkdtemp()
    failures = 0
    try:
        data = os.path.join(work, 'data')
        os.makedirs(os.path.join(data, 'save'))
        shutil.copy(os.path.join(build, 'vek.heap'), data)
        game = os.path.join(build, 'wordlark')
        first = reference_frames(game, data, FIRST_RUN, os.path.join(work, 'shots1'))
        second = reference_frames(game, data, SECOND_RUN, os.path.join(work, 'shots2'))

        server = serve(web)
        driver = browser(os.path.join(work, 'profile'))
        try:
            page = f'http://127.0.0.1:{server.server_port}/index.html?seed={SEED}&date={DAY}'
            for load, (steps, frames) in enumerate([(FIRST_RUN, first), (SECOND_RUN, second)]):
                if load > 0:
                    # Everything the game saved is in the browser's storage before the page
                    # goes.
                    deadline = time.monotonic() + WAIT
                    while (not driver.execute_script('return Module.wordlark.stored') and
                           time.monotonic() < deadline):
                        time.sleep(0.05)
                driver.get(page)
                if not wait_for_game(driver):
                    print(f'FAIL: no frame within {WAIT} s of loading the page (load {load + 1})')
                    failures += 1
                elif not play(driver, steps, frames, out):
                    failures += 1
            if not opens_the_help(driver):
                failures += 1
            for entry in driver.get_log('browser'):
                print('browser:', entry['level'], entry['message'][:200])
                if entry['level'] == 'SEVERE':
                    failures += 1
            if not says_what_is_missing(driver, page):
                failures += 1
        finally:
            driver.quit()
            server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print('browser test:', 'passed' if failures == 0 else f'{failures} failed',
          f'(screenshots in {out})')
    return 0 if failures == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
