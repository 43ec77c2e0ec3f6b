// Spells a place name in the single-byte code page (ISO 8859-1) that layer files store.
// Characters the code page holds stay as they are; others lose their accents through Unicode
// compatibility decomposition, and letters that do not decompose (Polish l with stroke,
// dotless i, ...) and Cyrillic letters come from small tables. A name with a character that has no spelling in
// the code page, such as one in another script, gives null.
'use strict';

const Letters = {
  '\u0110': 'D', '\u0111': 'd', '\u0126': 'H', '\u0127': 'h', '\u0131': 'i', '\u0138': 'q',
  '\u0141': 'L', '\u0142': 'l', '\u014a': 'NG', '\u014b': 'ng', '\u0152': 'OE', '\u0153': 'oe',
  '\u0166': 'T', '\u0167': 't', '\u017f': 's', '\u0180': 'b', '\u0181': 'B', '\u0189': 'D',
  '\u018a': 'D', '\u018f': 'E', '\u0192': 'f', '\u0197': 'I', '\u0198': 'K', '\u0199': 'k',
  '\u019a': 'l', '\u01a4': 'P', '\u01a5': 'p', '\u01b3': 'Y', '\u01b4': 'y', '\u01b5': 'Z',
  '\u01b6': 'z', '\u01e4': 'G', '\u01e5': 'g', '\u0237': 'j', '\u0253': 'b', '\u0256': 'd',
  '\u0257': 'd', '\u0259': 'e', '\u0268': 'i', '\u1e9e': 'SS', '\u2010': '-',
  '\u2011': '-', '\u2013': '-', '\u2014': '-', '\u2018': "'", '\u2019': "'", '\u02bb': "'",
  '\u02bc': "'", '\u02be': "'", '\u02bf': "'", '\u201c': '"', '\u201d': '"',
};

// Cyrillic, letter by letter (Russian, Ukrainian and Macedonian letters).
const CyrillicUpper = 'АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЃЌЉЊЏЅЈ';
const CyrillicLatin = ['A', 'B', 'V', 'G', 'D', 'E', 'Yo', 'Zh', 'Z', 'I', 'Y', 'K', 'L', 'M',
  'N', 'O', 'P', 'R', 'S', 'T', 'U', 'F', 'Kh', 'Ts', 'Ch', 'Sh', 'Shch', '', 'Y', '', 'E', 'Yu',
  'Ya', 'Ye', 'I', 'Yi', 'G', 'Gj', 'Kj', 'Lj', 'Nj', 'Dzh', 'Dz', 'J'];
[...CyrillicUpper].forEach((c, i) => {
  const latin = CyrillicLatin[i];
  Letters[c] = latin;
  Letters[c.toLowerCase()] = latin.toLowerCase();
});

const fits = (s) => [...s].every((c) => c.codePointAt(0) <= 0xff);

function letter(c) {
  if (c.codePointAt(0) <= 0xff) return c;
  if (c in Letters) return Letters[c];
  if (/\p{M}/u.test(c)) return ''; // an accent left over after composition
  const plain = c.normalize('NFKD').replace(/\p{M}/gu, '');
  if (plain && fits(plain)) return plain;
  // What is left may still be one of the table's letters, as for a stroke with an accent.
  const parts = [...plain].map((p) => (p.codePointAt(0) <= 0xff ? p : Letters[p]));
  return plain && parts.every((p) => p !== undefined) ? parts.join('') : null;
}

function transliterate(name) {
  let out = '';
  for (const c of name.normalize('NFC')) {
    const l = letter(c);
    if (l === null) return null;
    out += l;
  }
  return out;
}

module.exports = { transliterate };
