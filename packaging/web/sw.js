// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keeps the page's files, so that it opens with no network after one visit. Each build has its
// own cache, named by its version, which every one of its files' addresses carries too: a newer
// build's page asks for its own files only, and this worker, once the newer worker has taken
// over, is gone with its cache. The page itself is asked of the network first, so that a newer
// build served is the one that starts; without a network the kept page starts, with its files.
"use strict";

const version = "@TORVANE_VERSION@";
const cacheName = `torvane-${version}`;
const page = "index.html";
const files = [@TORVANE_CACHED@];

self.addEventListener("install", event => {
  event.waitUntil((async () => {
    const cache = await caches.open(cacheName);
    // The page as served now, past the browser's HTTP cache; the rest are versioned.
    await cache.put(page, await fetch(page, { cache: "reload" }));
    await cache.addAll(files.map(file => `${file}?v=${version}`));
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", event => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name !== cacheName && name.startsWith("torvane-"))
        await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

self.addEventListener("fetch", event => {
  const request = event.request;
  if (request.method !== "GET")
    return;
  if (request.mode === "navigate") {
    // The page, by the folder's address or its own; the licences and the like, as they are.
    const path = new URL(request.url).pathname;
    const folder = new URL(self.registration.scope).pathname;
    if (path === folder || path === folder + page) {
      event.respondWith(fetch(request).catch(async () =>
        (await caches.match(page, { cacheName })) ?? Response.error()));
    }
    return;
  }
  event.respondWith((async () =>
    (await caches.match(request, { cacheName })) ?? fetch(request))());
});
