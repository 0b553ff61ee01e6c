"""Mutations of ROD reports for bench/differential.py: each takes a report as its list of lines (split at
line feeds, so that the last item is empty when the report ends with one) and a random generator, and
gives the mutated lines. Together they reach the reader's and the passes' fatal ends."""
import re

from check_run import READ

FIELD = re.compile(rb'"((?:[^"]|"")*)"')
NUMBER = re.compile(rb'"(\d+)"')
# Records only the merger makes, and SE, which only the filters know.
MADE = ["TP", "FW", "FF", "FQ", "FV", "FX", "FO", "FA", "FN", "FR", "SE"]
KNOWN = sorted(READ) + MADE
UNKNOWN = [b"ZZ", b"X", b"XIX", b"xi", b"", b"  ", b"E\xffR", b"\"XI\""]
ODD_NUMBERS = [b"0", b"-1", b"-2147483649", b"2147483647", b"2147483648", b"4294967295", b"4294967296",
               b"99999999999999999999", b"??", b"", b" 12", b"+5", b"1.5", b"0x10", b"007"]
BLOCK_ENDS = (b"XI", b"YI", b"DT", b"YT", b"XE", b"FE", b"DS", b"FS", b"DB", b"BF", b"RE", b"PP", b"DA")


def body(lines):
    """Indexes of the records: neither the header line nor the empty end."""
    return range(1, len(lines) - 1 if lines and lines[-1] == b"" else len(lines))


def pick(rng, lines, wanted=lambda line: True):
    found = [i for i in body(lines) if wanted(lines[i])]
    return rng.choice(found) if found else None


def delete_line(rng, lines):
    i = pick(rng, lines)
    return lines if i is None else lines[:i] + lines[i + 1:]


def delete_block_end(rng, lines):
    i = pick(rng, lines, lambda line: line[:2] in BLOCK_ENDS)
    return lines if i is None else lines[:i] + lines[i + 1:]


def duplicate_line(rng, lines):
    i = pick(rng, lines)
    return lines if i is None else lines[:i + 1] + lines[i:]


def swap_lines(rng, lines):
    i, j = pick(rng, lines), pick(rng, lines)
    if i is None:
        return lines
    if rng.random() < 0.5 and i + 1 in body(lines):
        j = i + 1
    lines = list(lines)
    lines[i], lines[j] = lines[j], lines[i]
    return lines


def cut_line(rng, lines):
    """Cuts a line short; half the time its line feed goes too, joining it to the next."""
    i = pick(rng, lines)
    if i is None:
        return lines
    cut = lines[i][:rng.randrange(len(lines[i]) + 1)]
    if rng.random() < 0.5 and i + 1 < len(lines):
        return lines[:i] + [cut + lines[i + 1]] + lines[i + 2:]
    return lines[:i] + [cut] + lines[i + 1:]


def drop_quote(rng, lines):
    i = pick(rng, lines, lambda line: b'"' in line)
    if i is None:
        return lines
    quotes = [k for k, c in enumerate(lines[i]) if c == ord('"')]
    k = rng.choice(quotes)
    return lines[:i] + [lines[i][:k] + lines[i][k + 1:]] + lines[i + 1:]


def replace_number(rng, line):
    numbers = list(NUMBER.finditer(line))
    if not numbers:
        return line
    m = rng.choice(numbers)
    new = rng.choice(ODD_NUMBERS) if rng.random() < 0.6 else str(rng.randrange(0, 1 << 33)).encode()
    return line[:m.start(1)] + new + line[m.end(1):]


def change_number(rng, lines):
    i = pick(rng, lines, NUMBER.search)
    return lines if i is None else lines[:i] + [replace_number(rng, lines[i])] + lines[i + 1:]


def change_keyword(rng, lines):
    i = pick(rng, lines)
    if i is None:
        return lines
    keyword = rng.choice(UNKNOWN) if rng.random() < 0.3 else rng.choice(KNOWN).encode()
    return lines[:i] + [keyword + lines[i][2:]] + lines[i + 1:]


def alter_clock(rng, lines):
    """A clock record's numbers or name changed, the record dropped, or a second, other one added."""
    i = pick(rng, lines, lambda line: line.startswith(b"SY"))
    if i is None:
        return lines
    what = rng.randrange(4)
    if what == 0:
        return lines[:i] + lines[i + 1:]
    if what == 1:
        return lines[:i] + [lines[i].replace(b'SY "', b'SY "other-', 1)] + lines[i + 1:]
    changed = replace_number(rng, lines[i])
    if what == 2:
        return lines[:i + 1] + [changed] + lines[i + 1:]
    return lines[:i] + [changed] + lines[i + 1:]


def shuffle_rendezvous(rng, lines):
    """The RD records' names dealt out again among them, or one renamed."""
    found = [i for i in body(lines) if lines[i].startswith(b"RD") and FIELD.search(lines[i])]
    if not found:
        return lines
    names = [FIELD.search(lines[i]).group(0) for i in found]
    if rng.random() < 0.3:
        names[rng.randrange(len(names))] = b'"RDV-LOST"'
    else:
        rng.shuffle(names)
    lines = list(lines)
    for i, name in zip(found, names):
        m = FIELD.search(lines[i])
        lines[i] = lines[i][:m.start()] + name + lines[i][m.end():]
    return lines


def empty_report(rng, lines):
    return [b""]


def drop_header(rng, lines):
    return lines[1:]


def long_line(rng, lines):
    """A field, or a line of its own, past the reader's 5 120-byte line buffer."""
    filler = bytes([rng.choice(b"abcXYZ ")]) * rng.randrange(5000, 12000)
    i = pick(rng, lines, lambda line: b'"' in line)
    if i is None or rng.random() < 0.3:
        k = rng.choice(body(lines)) if len(body(lines)) else len(lines)
        return lines[:k] + [b'XX "' + filler + b'" "x" "1" "2"'] + lines[k:]
    k = lines[i].index(b'"') + 1
    return lines[:i] + [lines[i][:k] + filler + lines[i][k:]] + lines[i + 1:]


def odd_bytes(rng, lines):
    """NUL bytes or bytes that are no UTF-8 inside a line."""
    i = pick(rng, lines)
    if i is None:
        return lines
    k = rng.randrange(len(lines[i]) + 1)
    odd = rng.choice([b"\0", b"\0\0", b"\xff", b"\xc3", b"\xe9t\xe9", b"\xed\xa0\x80", b"\xf4\x90\x80\x80"])
    return lines[:i] + [lines[i][:k] + odd + lines[i][k:]] + lines[i + 1:]


def carriage_returns(rng, lines):
    """CR LF line ends, on every line or one."""
    if rng.random() < 0.5:
        return [line + b"\r" for line in lines[:-1]] + lines[-1:]
    i = pick(rng, lines)
    return lines if i is None else lines[:i] + [lines[i] + b"\r"] + lines[i + 1:]


def no_final_line_feed(rng, lines):
    return lines[:-1] if len(lines) > 1 and lines[-1] == b"" else lines


def truncate(rng, lines):
    text = b"\n".join(lines)
    return text[:rng.randrange(len(text) + 1)].split(b"\n")


def field_count(rng, lines):
    """A field more, or the last one gone."""
    i = pick(rng, lines, lambda line: b'"' in line)
    if i is None:
        return lines
    cut = lines[i].rfind(b' "')
    line = lines[i] + b' "7"' if cut < 0 or rng.random() < 0.5 else lines[i][:cut]
    return lines[:i] + [line] + lines[i + 1:]


def stray_record(rng, lines):
    """A record where it may not be: an incorrect scenario, a comment with nothing after it, a time point
    or a record only the merger makes."""
    record = rng.choice([b'ER "tester" "stray verdict" "1" "9"', b'CO "tester" "left alone" "1" "9"',
                         b'TP "12"', b'FW "W1" "write" "1" "2" "3" "1" "9"', b'SE "x" "y"', b'YI "0" "0"',
                         b'XI "1" "0" "0"', b'BF "Summary" "end"'])
    k = rng.randrange(1, len(lines) + 1)
    return lines[:k] + [record] + lines[k:]


REPORT_MUTATIONS = [delete_line, delete_block_end, duplicate_line, swap_lines, cut_line, drop_quote,
                    change_number, change_keyword, alter_clock, shuffle_rendezvous, empty_report, drop_header,
                    long_line, odd_bytes, carriage_returns, no_final_line_feed, truncate, field_count, stray_record]


def mutate(rng, report):
    """The report mutated once; the mutation's name."""
    mutation = rng.choice(REPORT_MUTATIONS)
    return b"\n".join(mutation(rng, report.split(b"\n"))), mutation.__name__
