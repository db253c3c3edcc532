// The program's side of its contract with the page (declared in page_hooks.h):
// each function hands over to the hook that the page's script put in
// Module.page before loading the program. The hooks are checked when the
// runtime starts, so a page that lacks one fails to start instead of failing
// mid-run.
mergeInto(LibraryManager.library, {
  // The runtime's tables of WebGL objects outlive the contexts; an entry left
  // there would keep its context, and so a whole canvas, for the page's life.
  ForgetWebGLObjects__deps: ['$GL'],
  ForgetWebGLObjects: function() {
    if (GL.contexts.some(Boolean)) return;
    for (const table of ['buffers', 'programs', 'framebuffers', 'renderbuffers', 'textures',
                         'shaders', 'vaos', 'queries', 'uniforms'])
      if (Array.isArray(GL[table])) GL[table].fill(null);
  },

  $pageHooks__postset: 'addOnInit(pageHooks.check);',
  $pageHooks: {
    names: ['replaceCanvas', 'canvasOpened', 'enterFullscreen', 'showCanvas', 'hideCursor',
            'framePresented', 'waitForFrame', 'release', 'clockStarted', 'takeEndRequest', 'musicOpenOutput',
            'musicOpen', 'musicPlay', 'musicStop', 'musicFree', 'reportCheckpoint'],
    check: function() {
      const page = Module['page'] || {};
      const missing = pageHooks.names.filter(name => typeof page[name] != 'function');
      if (missing.length) abort('the page lacks the hooks ' + missing.join(', '));
    },
  },

  PageReplaceCanvas__deps: ['$pageHooks'],
  PageReplaceCanvas: function(aspect) { Module['page']['replaceCanvas'](aspect); },
  PageCanvasOpened__deps: ['$pageHooks'],
  PageCanvasOpened: function() { Module['page']['canvasOpened'](); },
  PageEnterFullscreen__deps: ['$pageHooks'],
  PageEnterFullscreen: function() { Module['page']['enterFullscreen'](); },
  PageShowCanvas__deps: ['$pageHooks'],
  PageShowCanvas: function() { Module['page']['showCanvas'](); },
  PageHideCursor__deps: ['$pageHooks'],
  PageHideCursor: function() { Module['page']['hideCursor'](); },
  PageFramePresented__deps: ['$pageHooks'],
  PageFramePresented: function() { Module['page']['framePresented'](); },
  PageWaitForFrame__deps: ['$pageHooks'],
  PageWaitForFrame: function() {
    return Asyncify.handleSleep(wakeUp => Module['page']['waitForFrame'](wakeUp));
  },
  PageRelease__deps: ['$pageHooks'],
  PageRelease: function() { Module['page']['release'](); },
  PageClockStarted__deps: ['$pageHooks'],
  PageClockStarted: function(nowMs) { Module['page']['clockStarted'](nowMs >>> 0); },
  PageTakeEndRequest__deps: ['$pageHooks'],
  PageTakeEndRequest: function() { return Module['page']['takeEndRequest']() ? 1 : 0; },

  PageMusicOpenOutput__deps: ['$pageHooks'],
  PageMusicOpenOutput: function(sampleRate) { Module['page']['musicOpenOutput'](sampleRate); },
  PageMusicOpen__deps: ['$pageHooks'],
  PageMusicOpen: function(fileName) { Module['page']['musicOpen'](UTF8ToString(fileName)); },
  PageMusicPlay__deps: ['$pageHooks'],
  PageMusicPlay: function() { Module['page']['musicPlay'](); },
  PageMusicStop__deps: ['$pageHooks'],
  PageMusicStop: function() { Module['page']['musicStop'](); },
  PageMusicFree__deps: ['$pageHooks'],
  PageMusicFree: function() { Module['page']['musicFree'](); },

  PageReportCheckpoint__deps: ['$pageHooks'],
  PageReportCheckpoint: function(frame, elapsedMs, stateHash, random) {
    Module['page']['reportCheckpoint'](frame, elapsedMs, UTF8ToString(stateHash), random >>> 0);
  },
});
