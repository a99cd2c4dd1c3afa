"""Names on the disc: the rule every name the kit writes follows (one that Windows can open,
and that the Joliet tree keeps whole), the names it makes from the label, the volume name and
autorun.inf."""
import re
import unicodedata

from . import layout

# Characters Windows refuses in a name, control characters among them.
NOT_ON_WINDOWS = re.compile(r"[\x00-\x1f\x7f/\\:*?\"<>|]")
# Names Windows keeps for its devices and consoles, with any extension and blanks before it:
# the ports numbered with superscript digits too (COM¹ is COM1's twin).
DEVICES = re.compile(r"^(con|prn|aux|nul|conin\$|conout\$|(com|lpt)[1-9\u00b9\u00b2\u00b3]) *(\..*)?$",
                     re.IGNORECASE)
# The longest name Joliet keeps whole (xorriso's -joliet-long), in UTF-16 units.
JOLIET_LONGEST = 103


def utf16_units(text):
    return len(text.encode("utf-16-le")) // 2


def name_problem(name):
    """Why Windows could not open a file or folder of this name as it stands on the disc, or
    None. The label follows the same rule (made_name)."""
    if not name:
        return "it is empty"
    try:
        name.encode("utf-8")
    except UnicodeEncodeError:
        return "it is not UTF-8"
    bad = NOT_ON_WINDOWS.search(name)
    if bad:
        char = bad.group(0)
        return f"it holds {'a control character' if char < ' ' or char == chr(0x7f) else repr(char)}"
    if name != name.strip(" ."):
        return "it starts or ends with a space or a dot"
    if DEVICES.match(name):
        return "Windows keeps that name for a device"
    if utf16_units(name) > JOLIET_LONGEST:
        return f"it is longer than {JOLIET_LONGEST} characters"
    return None


def path_problem(path):
    """name_problem for each folder and file of a relative path, naming the part at fault."""
    for part in path.split("/"):
        problem = name_problem(part)
        if problem:
            return problem if part == path else f"{part!r}: {problem}"
    return None


def made_name(text, suffix, fallback):
    """A name the rule takes, made from `text` (the label, a picture's own name) and ending in
    `suffix`: refused characters become "-", spaces and dots go from both ends, a device name
    gets "-" after it, and it is cut to fit Joliet."""
    try:
        text.encode("utf-8")
    except UnicodeEncodeError:
        text = text.encode("utf-8", "surrogateescape").decode("utf-8", "replace")
    stem = NOT_ON_WINDOWS.sub("-", text).strip(" .") or fallback
    if DEVICES.match(stem):
        stem += "-"
    while utf16_units(stem + suffix) > JOLIET_LONGEST:
        stem = stem[:-1].rstrip(" .")
    return stem + suffix


def volume_id(label):
    """The ISO 9660 volume name: the label's closest plain form (Köln is KOLN)."""
    plain = unicodedata.normalize("NFKD", label).encode("ascii", "ignore").decode().upper()
    return re.sub(r"[^A-Z0-9]+", "_", plain).strip("_")[:32] or "DISC"


def shown_label(label):
    """The label for autorun.inf and the Joliet volume name: one line."""
    return re.sub(r"[\x00-\x1f\x7f]", " ", label)


def autorun_inf(label):
    """autorun.inf in UTF-16 with a byte-order mark (Windows reads a label in any script right):
    the Windows launcher, its own icon, the label."""
    shown = shown_label(label)
    text = (f"[autorun]\r\nopen={layout.WINDOWS_EXE}\r\nicon={layout.AUTORUN_ICON}\r\n"
            f"label={shown}\r\naction=Start {shown}\r\n")
    return b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass")
