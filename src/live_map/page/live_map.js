// The live map: the program's map as it is now, read-only, kept up to date by the messages the
// program pushes over a WebSocket. Everything is loaded from below this page's own address.
(function () {
    'use strict';

    const lists = ['graves', 'transports', 'tokens'];
    const markerLifetime = 3000;

    const map = L.map('map', {
        crs: L.CRS.Simple,
        attributionControl: false,
        zoomSnap: 0.25,
        minZoom: 0,
        maxZoom: 2,
    });
    // Drawn in the program's order: tombstones, transports, tokens, the dragged transport once
    // more, the marker.
    lists.concat(['dragged', 'ping']).forEach(function (name, i) {
        map.createPane(name).style.zIndex = String(410 + 10 * i);
    });

    let game = null;
    let top = 0;
    let tiles = null;
    let fitted = false;
    const layers = {graves: [], transports: [], tokens: []};
    let draggedLayer = null;
    let ping = null;

    function toLatLng(x, y) {
        return map.unproject([x, y], top);
    }

    function mapBounds() {
        return L.latLngBounds(toLatLng(0, game.map.height), toLatLng(game.map.width, 0));
    }

    function fitAll() {
        if (game && game.map.width > 0) {
            map.fitBounds(mapBounds());
        }
    }

    const Fit = L.Control.extend({
        options: {position: 'topleft'},
        onAdd: function () {
            const button = L.DomUtil.create('button', 'fit-button');
            button.type = 'button';
            button.title = 'Ganze Karte';
            button.setAttribute('aria-label', 'Ganze Karte');
            button.textContent = '\u2922';
            L.DomEvent.disableClickPropagation(button);
            L.DomEvent.on(button, 'click', fitAll);
            return button;
        },
    });
    new Fit().addTo(map);

    function pictureUrl(name) {
        const picture = name !== null ? game.pictures[name] : null;
        return picture ? 'pictures/' + name + '.png?v=' + picture.version : null;
    }

    function itemBounds(item) {
        const picture = game.pictures[item[2]];
        return L.latLngBounds(toLatLng(item[0], item[1] + picture.height),
                              toLatLng(item[0] + picture.width, item[1]));
    }

    // An overlay for the item, made, moved or dropped as the item now is.
    function placeOverlay(layer, item, pane) {
        const url = item ? pictureUrl(item[2]) : null;
        if (!url) {
            if (layer) {
                layer.remove();
            }
            return null;
        }
        if (!layer) {
            layer = L.imageOverlay(url, itemBounds(item),
                                   {pane: pane, interactive: true, className: 'live-item'});
            layer.addTo(map);
        } else {
            if (layer.quillUrl !== url) {
                layer.setUrl(url);
            }
            layer.setBounds(itemBounds(item));
        }
        layer.quillUrl = url;
        const text = item[3] > 0 ? game.labels[item[3]] || '' : '';
        if (layer.quillText !== text) {
            layer.unbindTooltip();
            if (text) {
                // As text, never as markup: an inscription is whatever the players typed.
                const content = document.createElement('span');
                content.textContent = text;
                layer.bindTooltip(content, {sticky: true, className: 'inscription'});
            }
            layer.quillText = text;
        }
        return layer;
    }

    function showItem(list, index) {
        layers[list][index] = placeOverlay(layers[list][index], game[list][index], list);
    }

    function showList(list) {
        const items = game[list];
        for (let i = 0; i < items.length; ++i) {
            showItem(list, i);
        }
        const shown = layers[list];
        while (shown.length > items.length) {
            const layer = shown.pop();
            if (layer) {
                layer.remove();
            }
        }
    }

    function showDragged() {
        const item = game.dragged >= 0 ? game.transports[game.dragged] : null;
        draggedLayer = placeOverlay(draggedLayer, item, 'dragged');
    }

    function showPing(marker) {
        if (ping) {
            ping.remove();
            ping = null;
        }
        const url = pictureUrl('m');
        if (!marker || !url) {
            return;
        }
        const picture = game.pictures.m;
        const icon = L.divIcon({
            className: 'ping',
            html: '<span class="ring"></span><img alt="" src="' + url + '" width="' +
                picture.width + '" height="' + picture.height + '">',
            iconSize: [0, 0],
        });
        const shown = L.marker(toLatLng(marker.x, marker.y),
                               {icon: icon, pane: 'ping', interactive: false});
        shown.addTo(map);
        ping = shown;
        setTimeout(function () {
            if (ping === shown) {
                shown.remove();
                ping = null;
            }
        }, markerLifetime);
    }

    function showMap() {
        top = game.map.top;
        if (tiles) {
            tiles.remove();
            tiles = null;
        }
        map.setMaxZoom(top + 2);
        if (game.map.width > 0) {
            tiles = L.tileLayer('tiles/' + game.map.version + '/{z}/{x}/{y}.png', {
                tileSize: 256,
                minZoom: 0,
                maxZoom: top + 2,
                maxNativeZoom: top,
                noWrap: true,
                bounds: mapBounds(),
            });
            tiles.addTo(map);
            map.setMaxBounds(mapBounds().pad(0.5));
            if (!fitted) {
                fitAll();
                fitted = true;
            }
        } else if (!fitted) {
            map.setView([0, 0], 0);
        }
    }

    function showAll() {
        document.title = game.name || 'Quillmark';
        showMap();
        lists.forEach(showList);
        showDragged();
        showPing(game.marker);
    }

    function applyItems(list, change) {
        const items = game[list];
        items.length = Math.min(items.length, change.length);
        Object.keys(change.set).forEach(function (key) {
            items[Number(key)] = change.set[key];
        });
        for (let i = 0; i < items.length; ++i) {
            if (items[i] === undefined) {
                items[i] = [0, 0, null, 0];
            }
        }
    }

    function applyChanges(changes) {
        if ('name' in changes) {
            game.name = changes.name;
            document.title = game.name || 'Quillmark';
        }
        let everything = false;
        if ('pictures' in changes) {
            Object.keys(changes.pictures).forEach(function (name) {
                if (changes.pictures[name] === null) {
                    delete game.pictures[name];
                } else {
                    game.pictures[name] = changes.pictures[name];
                }
            });
            everything = true;
        }
        if ('labels' in changes) {
            Object.keys(changes.labels).forEach(function (slot) {
                game.labels[slot] = changes.labels[slot];
            });
            everything = true;
        }
        if ('map' in changes) {
            game.map = changes.map;
            showMap();
            everything = true;
        }
        lists.forEach(function (list) {
            if (list in changes) {
                applyItems(list, changes[list]);
                if (!everything) {
                    Object.keys(changes[list].set).forEach(function (key) {
                        showItem(list, Number(key));
                    });
                    showList(list);
                }
            }
        });
        if (everything) {
            lists.forEach(showList);
        }
        if ('dragged' in changes) {
            game.dragged = changes.dragged;
        }
        showDragged();
        if ('marker' in changes) {
            game.marker = changes.marker;
            showPing(game.marker);
        }
    }

    function receive(text) {
        const message = JSON.parse(text);
        if (message.type === 'full') {
            game = message;
            showAll();
        } else if (message.type === 'changes' && game) {
            applyChanges(message);
        }
    }

    // The program may go away (ended, or its sharing stopped); the page tries again by itself,
    // less often the longer it is gone.
    const offline = document.getElementById('offline');
    let retry = 500;

    function connect() {
        const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
        const folder = location.pathname.replace(/[^/]*$/, '');
        const socket = new WebSocket(scheme + '//' + location.host + folder + 'ws');
        socket.onopen = function () {
            retry = 500;
            offline.hidden = true;
        };
        socket.onmessage = function (event) {
            receive(event.data);
        };
        socket.onclose = function () {
            offline.hidden = false;
            setTimeout(connect, retry);
            retry = Math.min(retry * 2, 5000);
        };
    }

    // For the page's tests, which ask where things are.
    window.quillmarkLiveMap = {
        map: map,
        layers: layers,
        state: function () {
            return game;
        },
        toLatLng: toLatLng,
    };
    connect();
}());
