// The web remote's page: log-in, the receiver's state as the program tells
// it, changes asked of the program, and the receiver's sound.
'use strict';

const $ = (id) => document.getElementById(id);
let ws = null;
let me = { id: 0, level: 'none' };
let setup = null;
let state = null;
let retry = 0;

// ---------------------------------------------------------------- log-in

async function start() {
  const r = await fetch('/session', { credentials: 'same-origin' });
  if (r.ok) {
    connect();
  } else {
    showLogin(r.status === 403 ? 'Refused: too many wrong passwords, or not allowed.' : '');
  }
}

function showLogin(text) {
  $('remote').hidden = true;
  $('login').hidden = false;
  $('login-message').textContent = text || '';
  $('password').focus();
}

$('login-form').addEventListener('submit', async (e) => {
  e.preventDefault();
  const body = new URLSearchParams({ password: $('password').value });
  $('password').value = '';
  const r = await fetch('/login', { method: 'POST', body, credentials: 'same-origin' });
  const j = await r.json().catch(() => ({}));
  if (r.ok) {
    $('login-message').textContent = '';
    connect();
  } else {
    showLogin(j.error || 'Refused');
  }
});

$('logout').addEventListener('click', async () => {
  stopAudio();
  await fetch('/logout', { method: 'POST', credentials: 'same-origin' });
  if (ws) ws.close();
  showLogin('Logged out.');
});

// ---------------------------------------------------------------- the socket

function connect() {
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  ws = new WebSocket(scheme + location.host + '/ws');
  ws.binaryType = 'arraybuffer';
  ws.onmessage = (ev) => {
    if (typeof ev.data === 'string') onMessage(JSON.parse(ev.data));
    else onSound(ev.data);
  };
  let opened = false;
  ws.onclose = async (ev) => {
    ws = null;
    stopAudio();
    if (ev.code === 4401) return showLogin('Logged out.');
    if (!opened) {
      // Refused before it opened: the session tells why.
      const r = await fetch('/session', { credentials: 'same-origin' }).catch(() => null);
      if (r && r.status === 401) return showLogin('Please log in.');
      if (r && r.status === 403) return showLogin('Refused: too many wrong passwords, or not allowed.');
      showMessage('The remote cannot be reached (too many listeners?); trying again...');
    } else {
      showMessage('Connection lost; trying again...');
    }
    setTimeout(connect, Math.min(10000, 1000 * ++retry));
  };
  ws.onopen = () => { opened = true; retry = 0; };
}

function ask(o) {
  if (ws && ws.readyState === WebSocket.OPEN) ws.send(JSON.stringify(o));
}

function showMessage(text) {
  $('message').textContent = text;
}

function onMessage(m) {
  if (m.t === 'hello') {
    me = { id: m.id, level: m.level };
    setup = m;
    build();
    $('login').hidden = true;
    $('remote').hidden = false;
    showMessage('');
  } else if (m.t === 'state') {
    state = m;
    show();
  } else if (m.t === 'refused') {
    showMessage(m.why);
  } else if (m.t === 'audio') {
    if (m.error) showMessage('Sound: ' + m.error);
    if (!m.on) stopAudio();
  }
}

// ---------------------------------------------------------------- building

function makeButtons(box, list, kind) {
  box.textContent = '';
  for (const b of list) {
    const el = document.createElement('button');
    el.type = 'button';
    el.textContent = b.caption;
    el.dataset.code = b.code;
    el.setAttribute('aria-pressed', 'false');
    el.addEventListener('click', () => ask({ t: kind, code: b.code }));
    box.appendChild(el);
  }
}

function build() {
  makeButtons($('modes'), setup.modes, 'mode');
  makeButtons($('bws'), setup.bws, 'bw');
  makeButtons($('agcs'), setup.agcs, 'agc');
  makeButtons($('atts'), setup.atts, 'att');
  const step = $('step');
  const had = step.value;
  step.textContent = '';
  for (const s of setup.steps) {
    const o = document.createElement('option');
    o.value = s.hz;
    o.textContent = s.caption;
    step.appendChild(o);
  }
  step.value = had || '5000';
  if (!step.value && setup.steps.length) step.value = setup.steps[0].hz;
  const mem = $('memories');
  mem.textContent = '';
  for (const m of setup.memories) {
    const el = document.createElement('button');
    el.type = 'button';
    el.textContent = String(m.ch).padStart(3, '0') + '  ' + m.freq.trim() + (m.tag ? '  ' + m.tag : '');
    el.setAttribute('aria-label', 'Channel ' + m.ch + ', ' + m.freq.trim() + ' kilohertz' + (m.tag ? ', ' + m.tag : ''));
    el.addEventListener('click', () => ask({ t: 'recall', ch: m.ch }));
    mem.appendChild(el);
  }
  $('mem-none').hidden = setup.memories.length > 0;
  $('listen').disabled = !setup.audio;
  $('who').textContent = me.level === 'full' ? 'Full control' : 'Read-only: you listen';
  $('control').hidden = me.level !== 'full';
}

function press(box, code) {
  for (const el of box.children) el.setAttribute('aria-pressed', String(Number(el.dataset.code) === code));
}

function show() {
  const s = state;
  const f = $('freq');
  const text = s.freq.trim();
  if (f.textContent !== text) f.textContent = text;
  $('utc').textContent = s.utc;
  press($('modes'), s.mode);
  press($('bws'), s.bw);
  press($('agcs'), s.agc);
  press($('atts'), s.att);
  const inControl = s.controller === me.id;
  const canChange = me.level === 'full' && inControl && !s.lost;
  for (const id of ['modes', 'bws', 'agcs', 'atts', 'memories'])
    for (const el of $(id).children) el.disabled = !canChange;
  for (const id of ['entry', 'tune', 'step-up', 'step-down']) $(id).disabled = !canChange;
  const c = $('control');
  c.textContent = inControl ? 'In control' : 'Take control';
  c.setAttribute('aria-pressed', String(inControl));
  const role = me.level !== 'full' ? 'Read-only: you listen'
    : inControl ? 'You are in control'
    : s.controller ? 'Listening; another listener is in control' : 'Nobody in control: Take control to tune';
  $('who').textContent = role + ' \u2022 ' + s.listeners + (s.listeners === 1 ? ' listener' : ' listeners')
    + (s.lost ? ' \u2022 receiver line lost' : '') + (s.session ? ' \u2022 ' + s.session + ' runs' : '');
  const m = $('smeter');
  const units = s.meter;
  m.setAttribute('aria-valuenow', units < 0 ? '0' : units.toFixed(1));
  m.setAttribute('aria-valuetext', units < 0 ? (s.held ? 'no reading' : 'no reading: the receiver is not held') : s.meterText);
  $('smeter-bar').style.width = (units < 0 ? 0 : Math.min(100, units / 21 * 100)) + '%';
  $('smeter-text').textContent = s.meterText;
  const body = $('onair').tBodies[0];
  body.textContent = '';
  for (const e of s.onAir) {
    const tr = body.insertRow();
    for (const v of [e.khz.toFixed(2), e.station, e.language, e.target, e.time]) tr.insertCell().textContent = v;
  }
  $('onair').hidden = s.onAir.length === 0;
  $('onair-none').hidden = s.onAir.length > 0;
  $('onair-none').textContent = s.schedule ? 'Nothing on the air here in ' + s.schedule + '.' : 'No schedule loaded.';
  $('schedule-name').textContent = s.schedule || '';
}

// ---------------------------------------------------------------- tuning

$('control').addEventListener('click', () => ask({ t: 'control' }));

$('tune-form').addEventListener('submit', (e) => {
  e.preventDefault();
  const khz = Number($('entry').value.replace(',', '.'));
  if (!Number.isFinite(khz) || $('entry').value.trim() === '') return showMessage('Type a frequency in kHz');
  ask({ t: 'tune', hz: Math.round(khz * 1000) });
});

function step(dir) {
  if (!state || state.hz < 0) return;
  const hz = Math.min(setup.max, Math.max(setup.min, state.hz + dir * Number($('step').value)));
  ask({ t: 'tune', hz });
}
$('step-up').addEventListener('click', () => step(1));
$('step-down').addEventListener('click', () => step(-1));
$('freq').addEventListener('keydown', (e) => {
  if (e.key === 'ArrowUp') step(1);
  if (e.key === 'ArrowDown') step(-1);
});

// ---------------------------------------------------------------- sound

// What the page has played: decoded samples, their rate, the last second
// of them, and when sound began after silence (ms since the epoch).
window.vorantisAudio = { decoded: 0, rate: 0, recent: [], onsets: [], codec: '' };
let ctx = null, decoder = null, nextTime = 0, quiet = true;

function stopAudio() {
  if (decoder) { try { decoder.close(); } catch (e) { /* closed */ } }
  decoder = null;
  if (ctx) ctx.close();
  ctx = null;
  $('listen').setAttribute('aria-pressed', 'false');
  $('listen').textContent = 'Listen';
}

async function opusDecodes() {
  if (!('AudioDecoder' in window)) return false;
  try {
    const r = await AudioDecoder.isConfigSupported({ codec: 'opus', sampleRate: 48000, numberOfChannels: 1 });
    return r.supported;
  } catch (e) {
    return false;
  }
}

$('listen').addEventListener('click', async () => {
  if (ctx) {
    ask({ t: 'listen', on: false });
    stopAudio();
    $('audio-status').textContent = 'Sound off.';
    return;
  }
  ctx = new AudioContext({ sampleRate: 48000, latencyHint: 'interactive' });
  nextTime = 0;
  let codec = 'pcm';
  if (await opusDecodes()) {
    codec = 'opus';
    decoder = new AudioDecoder({
      output: (data) => {
        const buf = new Float32Array(data.numberOfFrames);
        data.copyTo(buf, { planeIndex: 0, format: 'f32-planar' });
        play(buf, data.sampleRate);
        data.close();
      },
      error: (e) => showMessage('Sound: ' + e.message),
    });
    decoder.configure({ codec: 'opus', sampleRate: 48000, numberOfChannels: 1 });
  }
  window.vorantisAudio.codec = codec;
  ask({ t: 'listen', on: true, codec });
  $('listen').setAttribute('aria-pressed', 'true');
  $('listen').textContent = 'Stop listening';
  $('audio-status').textContent = 'Sound on (' + (codec === 'opus' ? 'Opus' : 'plain PCM') + ').';
});

function onSound(buf) {
  if (!ctx) return;
  const bytes = new Uint8Array(buf);
  const kind = bytes[0];
  const block = bytes[1] | (bytes[2] << 8) | (bytes[3] << 16) | (bytes[4] << 24);
  const payload = bytes.subarray(5);
  if (kind === 1 && decoder && decoder.state === 'configured') {
    decoder.decode(new EncodedAudioChunk({ type: 'key', timestamp: block * 20000, data: payload }));
  } else if (kind === 2 && !decoder) {
    const n = payload.length >> 1;
    const out = new Float32Array(n);
    const view = new DataView(payload.buffer, payload.byteOffset, payload.byteLength);
    for (let i = 0; i < n; ++i) out[i] = view.getInt16(2 * i, true) / 32768;
    play(out, 8000);
  }
}

function play(samples, rate) {
  const a = window.vorantisAudio;
  a.decoded += samples.length;
  a.rate = rate;
  let sq = 0;
  for (const v of samples) sq += v * v;
  const rms = Math.sqrt(sq / Math.max(1, samples.length));
  if (quiet && rms > 0.05) a.onsets.push(Date.now());
  quiet = rms < 0.01 ? true : rms > 0.05 ? false : quiet;
  a.recent.push(...samples);
  if (a.recent.length > rate) a.recent.splice(0, a.recent.length - rate);
  const b = ctx.createBuffer(1, samples.length, rate);
  b.copyToChannel(samples, 0);
  const src = ctx.createBufferSource();
  src.buffer = b;
  src.connect(ctx.destination);
  const now = ctx.currentTime;
  // A little ahead of now; when far behind, the late part is left out.
  if (nextTime < now + 0.02 || nextTime > now + 0.4) nextTime = now + 0.06;
  src.start(nextTime);
  nextTime += b.duration;
}

start();
