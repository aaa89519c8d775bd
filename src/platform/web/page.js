// page.js -- the page's half of the browser backend, run before the game: the canvas and how
// large it is shown, the players' folder in the browser's storage (IndexedDB), and what the page
// says when the game ends or cannot start. The C++ half calls Module.wordlark.
Module.wordlark = (() => {
  const stage = () => document.getElementById('stage');
  const canvas = () => Module.canvas;
  let mode = { scale: 0, fullscreen: false, smooth: false };
  let dirty = false;
  let syncing = false;

  function status(text, isError) {
    const line = document.getElementById('status');
    if (line) {
      line.textContent = text;
      line.className = isError ? 'error' : '';
      line.hidden = !text;
    }
  }

  // The room for the frame: the page's width, and its height below the title.
  function room() {
    const s = stage();
    if (!s) {
      return [window.innerWidth, window.innerHeight];
    }
    const top = s.getBoundingClientRect().top + window.scrollY;
    return [s.clientWidth, Math.max(0, window.innerHeight - top - 16)];
  }

  // The largest whole scale whose frame fits that room, or the scale asked for when it fits;
  // in the full screen the screen's, smooth at its height.
  function show() {
    const c = canvas();
    if (!c) {
      return;
    }
    const full = !!document.fullscreenElement;
    const area = full ? [window.innerWidth, window.innerHeight] : room();
    const width = area[0];
    const height = area[1];
    const fits = Math.max(1, Math.floor(Math.min(width / 640, height / 480)));
    let shownWidth = 640 * (mode.scale > 0 ? Math.min(mode.scale, fits) : fits);
    if (full && mode.smooth) {
      shownWidth = Math.floor(Math.min(width, height * 4 / 3));
    }
    c.style.width = shownWidth + 'px';
    c.style.height = (shownWidth * 3 / 4) + 'px';
    c.style.imageRendering = full && mode.smooth ? 'auto' : 'pixelated';
  }
  window.addEventListener('resize', show);
  document.addEventListener('fullscreenchange', show);

  return {
    frames: 0,
    firstFrameAt: null,
    wake: null,
    stored: false,

    // A promise kept when an event wakes the game (wake()), or after `ms`.
    waitForEvents(ms) {
      return new Promise((resolve) => {
        const timer = setTimeout(() => {
          this.wake = null;
          resolve();
        }, ms);
        this.wake = () => {
          clearTimeout(timer);
          this.wake = null;
          resolve();
        };
      });
    },

    pageSize() {
      return room();
    },

    setDisplay(scale, fullscreen, smooth) {
      mode = { scale, fullscreen: !!fullscreen, smooth: !!smooth };
      const root = document.documentElement;
      if (mode.fullscreen && !document.fullscreenElement && root.requestFullscreen) {
        root.requestFullscreen().catch(() => {});
      } else if (!mode.fullscreen && document.fullscreenElement) {
        document.exitFullscreen().catch(() => {});
      }
      show();
    },

    present(pointer, width, height, x, y, w, h) {
      const c = canvas();
      if (c.width !== width || c.height !== height) {
        c.width = width;
        c.height = height;
      }
      const pixels = new Uint8ClampedArray(HEAPU8.buffer, pointer, width * height * 4);
      c.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0, x, y, w, h);
      if (this.frames++ === 0) {
        this.firstFrameAt = performance.now();
        document.body.classList.add('playing');
        status('');
        show();
        c.focus();
      }
    },

    showPointer(visible) {
      canvas().style.cursor = visible ? '' : 'none';
    },

    copy(text) {
      if (!navigator.clipboard || !navigator.clipboard.writeText) {
        return 0;
      }
      navigator.clipboard.writeText(text).catch(() => {});
      return 1;
    },

    openPage(name) {
      return window.open(name, '_blank') ? 1 : 0;
    },

    // What the game wrote goes to IndexedDB after the message that wrote it, one sync at a
    // time; a write during a sync makes another.
    syncFiles() {
      if (!dirty || syncing) {
        return;
      }
      dirty = false;
      syncing = true;
      FS.syncfs(false, (error) => {
        syncing = false;
        if (error) {
          status('The browser would not store the games: they last until this page closes.', true);
        } else {
          this.stored = true;
        }
        if (dirty) {
          this.syncFiles();
        }
      });
    },

    // What the game wrote as it ended reaches the storage too.
    ended() {
      this.syncFiles();
      document.body.classList.remove('playing');
      document.body.classList.add('ended');
      const again = document.getElementById('again');
      if (again) {
        again.focus();
      }
    },

    failed(message) {
      document.body.classList.add('failed');
      status('Wordlark could not start: ' + message, true);
    },

    // The players' folder lives in IndexedDB; the game starts once it is read. Every change to
    // the file system marks it for the next sync.
    mountStorage() {
      ENV.HOME = '/persist';
      ENV.XDG_DATA_HOME = '/persist/data';
      ENV.XDG_CONFIG_HOME = '/persist/config';
      FS.mkdir('/persist');
      FS.mount(IDBFS, {}, '/persist');
      for (const name of ['write', 'rename', 'unlink', 'mkdir', 'rmdir', 'truncate', 'ftruncate',
                          'chmod', 'symlink']) {
        const original = FS[name];
        FS[name] = function () {
          dirty = true;
          return original.apply(this, arguments);
        };
      }
      addRunDependency('wordlark-storage');
      FS.syncfs(true, (error) => {
        if (error) {
          document.body.classList.add('failed');
          status('This browser keeps no storage for the page (IndexedDB), so the players and ' +
                 'their records would be lost: Wordlark needs it to start.', true);
          return;
        }
        this.storageReadAt = performance.now();
        removeRunDependency('wordlark-storage');
      });
    },
  };
})();

Module.onRuntimeInitialized = function () { Module.wordlark.startedAt = performance.now(); };
Module.preRun = Module.preRun || [];
Module.preRun.push(() => Module.wordlark.mountStorage());
// The game's arguments from the page's address: ?seed=5&deal=CODE&daily&date=2026-12-09.
Module.arguments = Module.arguments || (() => {
  const args = [];
  const query = new URLSearchParams(window.location.search);
  // (The JavaScript tools of the compiler read no destructuring: plain callbacks here.)
  query.forEach((value, name) => {
    if (['seed', 'deal', 'date'].includes(name) && value) {
      args.push('--' + name, value);
    } else if (name === 'daily') {
      args.push('--daily');
    }
  });
  return args;
})();
