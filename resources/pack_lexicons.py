#!/usr/bin/env python3
"""Packs the word-suggestion lexicons: resources/lexicon_ru.bin and
resources/lexicon_en.bin, from the public word lists in resources/lexicon/.
The output is deterministic; run it again after changing the lists or this
script:

    python3 resources/pack_lexicons.py

Each lexicon holds the words of both sources with one frequency per source
(spoken language from subtitles, written language from books), so the
keyboard can weigh them at run time, and the frequent word pairs and triples
as conditional probabilities. Layout (little-endian):

    "OVLX" u8 version=3 u8 language (0 Russian, 1 English) u8 pair floor u8 0
    u32 words, u32 pairs, u32 triples, u32 ending exchanges
    words, sorted by their folded form (lower case, yo as ye), then display:
        u8 code units shared with the previous display form
        u8 bytes of the rest, the rest in UTF-8
        u8 subtitle score, u8 book score
    pairs, sorted:   varint (a - previous a), varint b, u8 score
    triples, sorted: varint a, varint b, varint c, u8 score
    ending exchanges, sorted: u8 bytes, the ending in UTF-8, u8 bytes, the
        ending it is exchanged for, u8 score

Version 2 is the same with a 0 for the pair floor, version 1 also without
ending exchanges.

A score is round(-ln p * 8), 1..255, and 0 for "not in this source": p is a
word's share of its source, the chance of the last word of a pair or
triple after the ones before it in the books, or the chance that a stem
with the first ending also takes the second (see ending_exchanges). The
pair floor is the score of the least frequent listed pair's share of the
books' words: a pair the lists lack is rarer than that.
"""
import csv
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "lexicon")

# English contractions: the subtitle lists split "don't" into "don" and "'t"
# and "it's" into "it" and "'s"; they are put back together here. The stem
# of a negation ("isn", "didn") is hardly a word of its own, so it goes.
NEGATION_STEMS = ["don", "isn", "doesn", "didn", "wasn", "weren", "aren", "haven", "hasn",
                  "hadn", "couldn", "wouldn", "shouldn", "mustn", "needn", "ain"]
# A clitic's count is shared among the words it follows, by their own counts;
# a share of "'s" is the possessive, which is not predicted.
CLITIC_HOSTS = {
    "'s": (0.6, ["it", "that", "he", "she", "what", "there", "here", "who", "where", "let"]),
    "'m": (1.0, ["i"]),
    "'re": (1.0, ["you", "we", "they", "what", "who"]),
    "'ll": (1.0, ["i", "you", "we", "he", "she", "it", "they", "that"]),
    "'ve": (1.0, ["i", "you", "we", "they", "could", "would", "should"]),
    "'d": (1.0, ["i", "you", "he", "she", "we", "they"]),
}


def fold(word):
    return word.lower().replace("ё", "е")


def is_stutter(token):
    """A stammer the subtitles write out ("i-i", "n-no", "wh-what"): a first
    part of one letter, or one that only begins the part after it.
    Doublings ("bye-bye", "so-so") are words here; drop_doubled tells the
    English stammers among them by the books' frequent words."""
    parts = token.lower().split("-")
    return len(parts) > 1 and parts[1].startswith(parts[0]) and (len(parts[0]) == 1 or parts[0] != parts[1])


def is_word(token, lang):
    """A word of the language: its letters in the language's alphabet, with
    apostrophes (English) or hyphens between them; not a stammer, and not a
    spelling of before 1918 (a hard sign at the end: "былъ", "этихъ")."""
    if not token or not token[0].isalpha() or not token[-1].isalpha() or is_stutter(token):
        return False
    if lang == 0 and token[-1] in "ъЪ":
        return False
    for prev, ch in zip(" " + token, token):
        if not ch.isalpha() and not prev.isalpha():
            return False  # "this--this"
        if ch.isalpha():
            # Russian letters only: the subtitles hold Ukrainian and
            # mistyped letters too ("всє", "ќе").
            cyrillic = "а" <= ch.lower() <= "я" or ch.lower() == "ё"
            latin = "a" <= ch.lower() <= "z"
            if (lang == 0 and not cyrillic) or (lang == 1 and not latin):
                return False
        elif ch not in ("'-" if lang == 1 else "-"):
            return False
    return True


def score(p):
    if p <= 0:
        return 0
    return max(1, min(255, round(-math.log(p) * 8)))


def read_subtitles(lang):
    name = "ru_50k.txt" if lang == 0 else "en_50k.txt"
    counts = {}
    with open(os.path.join(DATA, name), encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 2:
                counts[parts[0]] = counts.get(parts[0], 0) + int(parts[1])
    if lang == 1:
        stems = {s: counts.get(s, 0) for s in NEGATION_STEMS}
        negations = counts.get("'t", 0)
        for s, c in stems.items():
            counts[s + "'t"] = c
            negations -= c
            counts.pop(s, None)
        # What is left of "'t" follows "can" and "won"; "won" is mostly "won't".
        wont = int(counts.get("won", 0) * 0.9)
        counts["won't"] = wont
        counts["won"] = counts.get("won", 0) - wont
        counts["can't"] = max(negations - wont, 0)
        for clitic, (share, hosts) in CLITIC_HOSTS.items():
            total = sum(counts.get(h, 0) for h in hosts)
            for h in hosts:
                if total:
                    counts[h + clitic] = int(counts.get(clitic, 0) * share * counts.get(h, 0) / total)
    words = {}
    for w, c in counts.items():
        if is_word(w, lang) and c > 0:
            words[w.lower()] = words.get(w.lower(), 0) + c
    return words


def read_books(lang, n):
    suffix = "russian" if lang == 0 else "english"
    with open(os.path.join(DATA, "%dgrams_%s.csv" % (n, suffix)), encoding="utf-8") as f:
        rows = list(csv.reader(f))[1:]
    return [(r[0], int(r[1]), float(r[2]) if n == 1 else None) for r in rows]


# How often, against the plain spelling, the subtitles must write a word with
# yo for it to be kept in that spelling alone.
YO_SHARE = 0.3


# Spellings with and without yo that are two frequent words of their own.
TWO_WORDS = {"все", "чем", "небо", "осел", "узнаем", "признаем", "совершенный"}


def spell_yo(subtitles, book_count):
    """The books never write yo, the subtitles often do, and the keys have no
    yo: a word the subtitles write with yo often enough is kept in that
    spelling only (its plain spelling merged into it), so that a suggestion
    brings the yo the user cannot type. A spelling of yo rarer than that is
    a word of its own (все and всё) and shares the books' count with its plain
    twin as the subtitles share theirs. Returns plain -> yo for the merged."""
    rename = {}
    for yo in [w for w in subtitles if "ё" in w]:
        plain = yo.replace("ё", "е")
        if plain not in subtitles and plain not in book_count:
            continue
        ys, ps = subtitles[yo], subtitles.get(plain, 0)
        if ys >= YO_SHARE * ps and plain not in TWO_WORDS:
            subtitles[yo] = ys + subtitles.pop(plain, 0)
            if plain in book_count:
                book_count[yo] = book_count.get(yo, 0) + book_count.pop(plain)
            rename[plain] = yo
        elif plain in book_count and yo not in book_count:
            moved = book_count[plain] * ys / (ys + ps)
            book_count[yo] = moved
            book_count[plain] -= moved
    return rename


# How rare, against its contraction, a spelling without the apostrophe must
# be to be taken for the contraction typed without it.
UNMARKED_SHARE = 0.01


def merge_unmarked(subtitles, book_count):
    """The subtitles also write contractions without their apostrophe
    ("dont", "youre", "thats"): such a spelling, seldom beside its
    contraction and unknown to the books, is the contraction misspelt, so
    it is merged into it rather than offered. Words of their own ("its",
    "well", "wed", "whore") stay."""
    for marked in [w for w in subtitles if "'" in w]:
        plain = marked.replace("'", "")
        count = subtitles.get(plain, 0)
        if count and plain not in book_count and count < UNMARKED_SHARE * subtitles[marked]:
            subtitles[marked] += subtitles.pop(plain)


# How much more frequent the word a garbled spelling stands for must be.
GARBLED_RATIO = 100


def merge_garbled(subtitles, book_count):
    """Some subtitles were read in the wrong code page: KOI8-R bytes taken
    for Windows-1251 turn "надо" into "мюдн" and "сегодня" into "яецндмъ".
    A word that reads back into one a hundred times as frequent, and that
    the books do not list, is such a garbling and counts as that word."""
    for word in list(subtitles):
        try:
            meant = word.encode("koi8-r").decode("cp1251").lower()
        except (UnicodeEncodeError, UnicodeDecodeError):
            continue
        if (meant != word and word not in book_count and
                subtitles.get(meant, 0) >= GARBLED_RATIO * subtitles[word]):
            subtitles[meant] += subtitles.pop(word)


# English doublings of frequent words that are words of their own.
DOUBLED_WORDS = {"so-so", "no-no", "night-night", "great-great", "there-there", "well-well"}


def drop_doubled(subtitles, books):
    """English speech repeats short words in a stammer ("that-that",
    "and-and"), which the subtitles write as one: a doubling of one of the
    books' 300 most frequent words is such a stammer, unless it is a word
    of its own."""
    frequent = {w.lower() for w, _, _ in books[:300]}
    for word in list(subtitles):
        parts = word.split("-")
        if (len(parts) > 1 and len(set(parts)) == 1 and parts[0] in frequent and
                word not in DOUBLED_WORDS):
            del subtitles[word]


# Words that, run on after a frequent word with the space lost, make a
# "word" the subtitles list ("ifyou", "forthe").
RUN_ON = {"you", "your", "the", "this", "that", "it", "we", "they", "my", "was", "be"}


def drop_run_together(subtitles, books, book_count):
    """The subtitles lost the space between two words now and then: a word
    the books lack that is one of their hundred most frequent words and
    then a pronoun, an article, "was" or "be" ("thatyou", "itwas") is such
    a pair, and goes."""
    frequent = {w.lower() for w, _, _ in books[:100]}
    for word in list(subtitles):
        if word in book_count:
            continue
        for cut in range(2, len(word) - 1):
            first, then = word[:cut], word[cut:]
            if first in frequent and then in RUN_ON and first != then:
                del subtitles[word]
                break


def build(lang):
    subtitles = read_subtitles(lang)
    sub_total = sum(subtitles.values())

    books = read_books(lang, 1)
    # The list holds the most frequent words only; its last share says how
    # much of all the books' words they are.
    book_total = sum(c for _, c, _ in books) / books[-1][2]
    book_count = {}
    display = {}
    for w, c, _ in books:
        if is_word(w, lang):
            book_count[w.lower()] = book_count.get(w.lower(), 0) + c
            display.setdefault(w.lower(), w)
    for w in ("i", "i'm", "i'll", "i've", "i'd"):
        if lang == 1:
            display[w] = "I" + w[1:]
    if lang == 0:
        merge_garbled(subtitles, book_count)
    rename = spell_yo(subtitles, book_count) if lang == 0 else {}
    if lang == 1:
        merge_unmarked(subtitles, book_count)
        drop_doubled(subtitles, books)
        drop_run_together(subtitles, books, book_count)

    def tokens(ngram):
        """The words of an n-gram, a clitic the books split off ("it 's",
        "I 'm") joined back to the word before it."""
        toks = []
        for t in ngram.split():
            if lang == 1 and toks and t.lower() in CLITIC_HOSTS and is_word(toks[-1], lang):
                toks[-1] += t
            else:
                toks.append(t)
        return toks

    # Pairs: "a b" from the pairs, and "a , b" from the triples (the comma
    # does not break a phrase such as "то, что").
    pair_count = {}
    for ngram, c, _ in read_books(lang, 2):
        toks = tokens(ngram)
        # A contraction the word list lacks takes its count from the pairs.
        if len(toks) == 1 and is_word(toks[0], lang):
            book_count[toks[0].lower()] = book_count.get(toks[0].lower(), 0) + c
            continue
        if len(toks) == 2 and all(is_word(t, lang) for t in toks):
            key = tuple(rename.get(t.lower(), t.lower()) for t in toks)
            pair_count[key] = pair_count.get(key, 0) + c
    triple_count = {}
    for ngram, c, _ in read_books(lang, 3):
        toks = tokens(ngram)
        if len(toks) == 3 and toks[1] == "," and is_word(toks[0], lang) and is_word(toks[2], lang):
            key = (rename.get(toks[0].lower(), toks[0].lower()), rename.get(toks[2].lower(), toks[2].lower()))
            pair_count[key] = pair_count.get(key, 0) + c
        elif len(toks) == 2 and all(is_word(t, lang) for t in toks):
            key = tuple(t.lower() for t in toks)
            pair_count[key] = pair_count.get(key, 0) + c
        elif len(toks) == 3 and all(is_word(t, lang) for t in toks):
            key = tuple(rename.get(t.lower(), t.lower()) for t in toks)
            triple_count[key] = triple_count.get(key, 0) + c

    listed_pairs = dict(pair_count)
    # A triple is a pair too, at least as often: pairs below the top of the
    # pair list still show up inside frequent triples.
    for (a, b, c), n in triple_count.items():
        for key in ((a, b), (b, c)):
            if key not in pair_count:
                pair_count[key] = 0
            pair_count[key] = max(pair_count[key], n)

    vocab = set(subtitles) | set(book_count)
    for key in list(pair_count) + list(triple_count):
        vocab.update(key)
    entries = sorted(vocab, key=lambda w: (fold(w), w))
    forms = [display.get(w, w) for w in entries]
    index = {w: i for i, w in enumerate(entries)}

    pairs = []
    for (a, b), c in pair_count.items():
        if a in book_count:
            pairs.append((index[a], index[b], score(min(c / book_count[a], 1.0))))
    triples = []
    for (a, b, c), n in triple_count.items():
        if (a, b) in listed_pairs:
            triples.append((index[a], index[b], index[c], score(min(n / listed_pairs[(a, b)], 1.0))))
    pairs.sort()
    triples.sort()

    exchanges = ending_exchanges([fold(w) for w in entries])
    out = bytearray(b"OVLX")
    pair_floor = min(c for _, c, _ in read_books(lang, 2)) / book_total
    out += struct.pack("<BBBB", 3, lang, score(pair_floor), 0)
    out += struct.pack("<IIII", len(entries), len(pairs), len(triples), len(exchanges))
    prev = ""
    for w, form in zip(entries, forms):
        shared = 0
        limit = min(len(prev), len(form), 255)
        while shared < limit and prev[shared] == form[shared]:
            shared += 1
        # Code units: every letter used here is in the Basic Multilingual Plane.
        rest = form[shared:].encode("utf-8")
        assert len(rest) < 256
        out += struct.pack("<BB", shared, len(rest)) + rest
        sub = subtitles.get(w, 0)
        out += struct.pack("<BB", score(sub / sub_total) if sub else 0,
                           score(book_count[w] / book_total) if w in book_count else 0)
        prev = form
    last = 0
    for a, b, s in pairs:
        out += varint(a - last) + varint(b) + bytes([s])
        last = a
    for a, b, c, s in triples:
        out += varint(a) + varint(b) + varint(c) + bytes([s])
    for a, b, s in exchanges:
        for ending in (a, b):
            out += bytes([len(ending.encode("utf-8"))]) + ending.encode("utf-8")
        out += bytes([s])
    return bytes(out), len(entries), len(pairs), len(triples), len(exchanges)


# Words that share a stem of at least STEM_MIN letters and differ only in
# their last END_MAX letters or fewer are taken for forms of one word; a
# stem with more than MOST_FORMS endings is a mere beginning shared by many
# words. An exchange needs EXCHANGE_STEMS stems that show it, and each ending
# keeps its EXCHANGES_KEPT likeliest.
STEM_MIN, END_MAX, MOST_FORMS, EXCHANGE_STEMS, EXCHANGES_KEPT = 4, 4, 12, 3, 12


def ending_exchanges(keys):
    """From sorted folded words: (ending, other ending, chance) for each
    ending that the lexicon's stems show beside another, the chance being
    the share of the stems with the first that also have the second."""
    seen = {}
    together = {}
    longest = max(len(k) for k in keys)
    for m in range(STEM_MIN, longest + 1):
        i = 0
        while i < len(keys):
            if len(keys[i]) < m:
                i += 1
                continue
            stem = keys[i][:m]
            group = []
            j = i
            while j < len(keys) and keys[j][:m] == stem:
                if len(keys[j]) <= m + END_MAX and keys[j][m:] not in group:
                    group.append(keys[j][m:])
                j += 1
            i = j
            if len(group) < 2 or len(group) > MOST_FORMS:
                continue
            for a in group:
                seen[a] = seen.get(a, 0) + 1
                for b in group:
                    if a != b:
                        together[(a, b)] = together.get((a, b), 0) + 1
    by_from = {}
    for (a, b), n in together.items():
        if n >= EXCHANGE_STEMS:
            by_from.setdefault(a, []).append((score(n / seen[a]), b))
    out = []
    for a in sorted(by_from):
        for s, b in sorted(by_from[a])[:EXCHANGES_KEPT]:
            out.append((a, b, s))
    return out


def varint(n):
    out = bytearray()
    while True:
        byte = n & 0x7F
        n >>= 7
        if n:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def main():
    for lang, name in ((0, "lexicon_ru.bin"), (1, "lexicon_en.bin")):
        data, words, pairs, triples, exchanges = build(lang)
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        print("%s: %d bytes, %d words, %d pairs, %d triples, %d ending exchanges"
              % (name, len(data), words, pairs, triples, exchanges), file=sys.stderr)


if __name__ == "__main__":
    main()
