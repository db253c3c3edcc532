// What the page tells: the log that the tests read, the problems named on the
// screen between runs, and quiet notices over the running piece. Live regions
// exist only while they have something to say.

export const quorvane = window.quorvane = {
  state: 'loading',  // loading, ready, running, ended, drawing, drawn, failed, no-webgl
  version: document.documentElement.dataset.version,
  log: [],
  problems: [],
  checkpoints: [],
  frames: 0,
};

export function note(event, detail) {
  quorvane.log.push({event, detail, time: performance.now()});
}

// Named on the screen (and announced once) the first time it happens.
export function reportProblem(text) {
  if (quorvane.problems.includes(text)) return;
  quorvane.problems.push(text);
  let list = document.getElementById('problems');
  if (!list) {
    list = document.createElement('ul');
    list.id = 'problems';
    list.setAttribute('role', 'alert');
    document.getElementById('motion').after(list);
  }
  const item = document.createElement('li');
  item.textContent = text;
  list.appendChild(item);
}

let noticeTimer = 0;

// One line over the piece, with at most one button; it goes after `seconds`
// unless it waits for an answer.
export function showNotice(text, {action = null, onAction = null, seconds = 0} = {}) {
  hideNotice();
  const notice = document.createElement('div');
  notice.id = 'notice';
  notice.setAttribute('role', 'status');
  notice.append(text);
  if (action) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = action;
    button.addEventListener('click', event => {
      event.stopPropagation();
      hideNotice();
      onAction();
    });
    notice.append(' ', button);
  }
  document.body.appendChild(notice);
  if (seconds) noticeTimer = setTimeout(hideNotice, seconds * 1000);
  return notice;
}

export function hideNotice() {
  clearTimeout(noticeTimer);
  document.getElementById('notice')?.remove();
}
