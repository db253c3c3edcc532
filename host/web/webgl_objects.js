// The runtime's own housekeeping, which no hook of the page takes part in.
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
});
