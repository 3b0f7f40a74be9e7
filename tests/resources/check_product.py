#!/usr/bin/env python3
"""Product check of a built uninstall.exe: PE format, imports and resources.

Usage: check_product.py [--arch i686|x86_64] [--verbose] path/to/uninstall.exe

The program ships as one file next to the archiver, so it must be a GUI
executable for the right machine that needs no DLL beyond those of Windows,
and its resources must hold exactly the dialogs, texts, icons and manifest
that the code loads by name and number. The expected dialog templates below
are the regression record of the .rc file: a moved, resized, restyled or
retexted control fails here before anyone sees it on screen.

Only the standard library is used; the PE file is parsed here directly.
Exit status: 0 when every check passed, 1 when any failed, 2 when the file
cannot be read at all.
"""

import argparse
import struct
import sys
import xml.etree.ElementTree as ElementTree

# ---------------------------------------------------------------------------
# Expected values

ARCHES = {
    # name: (optional header magic, machine, description)
    "i686": (0x10B, 0x14C, "PE32, i386"),
    "x86_64": (0x20B, 0x8664, "PE32+, x86-64"),
}
SUBSYSTEM_WINDOWS_GUI = 2

# Windows' own DLLs that the program may import (lower case, without ".dll").
ALLOWED_DLLS = {
    "kernel32", "user32", "gdi32", "advapi32", "shell32", "ole32",
    "oleaut32", "comctl32", "comdlg32", "msvcrt", "shlwapi",
}
# Runtime DLLs of the compiler, which never travel with the program.
COMPILER_RUNTIME_PREFIXES = ("libstdc++", "libgcc", "libwinpthread")

LANG_ZH_CN = 0x0804  # Chinese (Simplified), 2052

RT_ICON = 3
RT_DIALOG = 5
RT_STRING = 6
RT_GROUP_ICON = 14
RT_MANIFEST = 24

WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_CAPTION = 0x00C00000
WS_VSCROLL = 0x00200000
WS_SYSMENU = 0x00080000
WS_GROUP = 0x00020000
WS_TABSTOP = 0x00010000
DS_SETFONT = 0x40
DS_MODALFRAME = 0x80
DS_CENTER = 0x800
DS_SHELLFONT = 0x48  # DS_SETFONT | DS_FIXEDSYS: both mean a font record follows
BS_PUSHBUTTON = 0x0
BS_DEFPUSHBUTTON = 0x1
BS_AUTOCHECKBOX = 0x3
BS_GROUPBOX = 0x7
SS_LEFT = 0x0
SS_CENTER = 0x1
SS_ETCHEDHORZ = 0x10
ES_MULTILINE = 0x4
ES_AUTOVSCROLL = 0x40
ES_READONLY = 0x800

CHILD = WS_CHILD | WS_VISIBLE
PUSH = CHILD | BS_PUSHBUTTON | WS_TABSTOP
DEFPUSH = CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP
CHECK = CHILD | BS_AUTOCHECKBOX | WS_TABSTOP
GROUP = CHILD | BS_GROUPBOX
LTEXT = CHILD | SS_LEFT | WS_GROUP
CTEXT = CHILD | SS_CENTER | WS_GROUP
HLINE = CHILD | SS_ETCHEDHORZ
RICHEDIT = (CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL
            | WS_TABSTOP)

CENTRED_DIALOG = (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU
                  | DS_MODALFRAME | DS_SETFONT | DS_CENTER)
OWNED_DIALOG = (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU
                | DS_MODALFRAME | DS_SETFONT)

STATIC_ID = -1      # 65535 in a classic template, 0xFFFFFFFF in an extended one
ANY_TEXT = object()  # a product text of our own choosing: present, not fixed

INDENT = "\uE5E5\uE5E5"
EXPLANATION = (
    INDENT
    + "这些选项控制 Kolvex 集成到 Windows 中。第一个选项组用来选择由 Kolvex 处理的档案文件类型。"
    "第二组用来选择放置 Kolvex 可执行文件链接的位置。最后一组用来控制集成到 Windows 外壳中。"
    "外壳集成在档案文件的关联菜单中提供了诸如“释放”等各项便利的工具，所以通常没有理由禁用它。"
    "\r\n"
    + INDENT
    + "点击『帮助』按钮阅读关于这些选项的更多细节描述。"
)


class Dlg:
    def __init__(self, style, rect, title, controls):
        self.style = style
        self.rect = rect
        self.title = title
        self.font = (9, "宋体")
        self.controls = controls


# One row per control in template order:
# (id, class, (x, y, width, height), style, text)
DIALOGS = {
    "SETUPDLG": Dlg(CENTRED_DIALOG, (53, 46, 331, 228), "Kolvex 安装", [
        (1, "Button", (111, 209, 50, 14), PUSH, "确定"),
        (STATIC_ID, "Button", (7, 5, 127, 132), GROUP, "Kolvex 关联文件类型"),
        (5101, "Button", (16, 21, 37, 12), CHECK, "&KVX"),
        (5102, "Button", (16, 33, 37, 12), CHECK, "&ZIP"),
        (5103, "Button", (16, 45, 37, 12), CHECK, "CAB"),
        (5104, "Button", (16, 57, 37, 12), CHECK, "ARJ"),
        (5105, "Button", (16, 69, 37, 12), CHECK, "LZH"),
        (5106, "Button", (16, 81, 37, 12), CHECK, "ACE"),
        (5107, "Button", (16, 93, 37, 12), CHECK, "7-Zip"),
        (5108, "Button", (80, 21, 37, 12), CHECK, "TAR"),
        (5109, "Button", (80, 33, 37, 12), CHECK, "GZip"),
        (5110, "Button", (80, 45, 37, 12), CHECK, "UUE"),
        (5111, "Button", (80, 57, 37, 12), CHECK, "BZ2"),
        (5112, "Button", (80, 69, 37, 12), CHECK, "JAR"),
        (5113, "Button", (80, 81, 37, 12), CHECK, "ISO"),
        (5114, "Button", (80, 93, 37, 12), CHECK, "Z"),
        (STATIC_ID, "Static", (8, 114, 127, 1), HLINE, ""),
        (5121, "Button", (16, 119, 50, 14), PUSH, "全部选定(&A)"),
        (STATIC_ID, "Button", (140, 5, 184, 57), GROUP, "界面设置"),
        (5115, "Button", (148, 19, 170, 12), CHECK, "将 Kolvex 放到桌面(&D)"),
        (5116, "Button", (148, 31, 170, 12), CHECK, "将 Kolvex 放到开始菜单(&S)"),
        (5117, "Button", (148, 43, 170, 12), CHECK, "创建 Kolvex 程序组(&P)"),
        (5118, "Button", (148, 78, 170, 12), CHECK, "集成 Kolvex 到外壳中(&I)"),
        (STATIC_ID, "Button", (140, 65, 184, 72), GROUP, "外壳集成"),
        (5119, "Button", (148, 90, 170, 12), CHECK, "折叠关联菜单(&T)"),
        (5120, "Button", (148, 102, 170, 12), CHECK, "在关联菜单中显示图标(&N)"),
        (9, "Button", (169, 209, 50, 14), PUSH, "帮助"),
        (STATIC_ID, "Button", (7, 139, 317, 63), GROUP, ""),
        (5122, "RICHEDIT", (12, 147, 306, 50), RICHEDIT, EXPLANATION),
        (5123, "Button", (148, 119, 100, 14), PUSH, "关联菜单项目(&C)..."),
    ]),
    "DONEDLG": Dlg(CENTRED_DIALOG, (53, 46, 331, 228), "Kolvex 安装", [
        (1, "Button", (140, 209, 50, 14), PUSH, "完成"),
        (STATIC_ID, "Static", (17, 14, 146, 8), LTEXT,
         "Kolvex 已经成功地安装到指定文件夹中"),
        (5101, "Static", (164, 14, 150, 8), LTEXT, ""),
        (STATIC_ID, "Static", (17, 33, 297, 16), LTEXT,
         "使用 Kolvex“选项”菜单中的“设置...”命令可以定制更多的选择。"),
        (STATIC_ID, "Static", (17, 53, 297, 16), LTEXT,
         "如果这是你第一次安装 Kolvex，请不要忘记阅读联机帮助。"),
        (5108, "Static", (17, 74, 297, 22), LTEXT, ANY_TEXT),
        (5109, "Static", (17, 101, 297, 16), LTEXT, ANY_TEXT),
        (STATIC_ID, "Button", (8, 2, 314, 125), GROUP, ""),
        (5102, "Button", (11, 134, 60, 14), PUSH, "运行 Kolvex(&R)"),
        (5103, "Button", (74, 134, 60, 14), PUSH, "阅读帮助(&H)"),
        (5104, "Button", (136, 134, 60, 14), PUSH, "查看授权(&L)"),
        (5105, "Button", (198, 134, 60, 14), PUSH, "定购(&O)"),
        (5106, "Button", (259, 134, 60, 14), PUSH, "访问主页(&M)"),
        (STATIC_ID, "Button", (8, 152, 314, 50), GROUP, ""),
        (5107, "Static", (17, 173, 297, 8), CTEXT, "感谢您使用 Kolvex！"),
    ]),
    "CONTEXTITEMS": Dlg(OWNED_DIALOG, (42, 45, 243, 188), "关联菜单项目", [
        (STATIC_ID, "Button", (7, 7, 229, 154), GROUP,
         "选择在资源管理器关联菜单中显示的项目"),
        (101, "Button", (16, 21, 210, 12), CHECK, "释放文件(&A)..."),
        (102, "Button", (16, 33, 210, 12), CHECK, "释放到这里(&X)"),
        (103, "Button", (16, 45, 210, 12), CHECK, "释放到(&E) <文件夹\\>"),
        (104, "Button", (16, 57, 210, 12), CHECK, "释放每个档案文件到单独的文件夹(&S)"),
        (105, "Button", (16, 69, 210, 12), CHECK, "用 Kolvex 打开 (用于 SFX 档案文件)"),
        (106, "Button", (16, 81, 210, 12), CHECK, "添加到档案文件(&A)..."),
        (107, "Button", (16, 93, 210, 12), CHECK, "添加到(&T) <档案文件名>"),
        (108, "Button", (16, 105, 210, 12), CHECK, "压缩到 <档案文件名> 并邮寄"),
        (109, "Button", (16, 117, 210, 12), CHECK, "压缩并邮寄..."),
        (110, "Button", (16, 129, 210, 12), CHECK, "测试档案文件(&R)"),
        (111, "Button", (16, 141, 210, 12), CHECK, "转换档案文件(&V)..."),
        (1, "Button", (35, 168, 50, 14), DEFPUSH, "确定"),
        (2, "Button", (97, 168, 50, 14), PUSH, "取消"),
        (9, "Button", (158, 168, 50, 14), PUSH, "帮助"),
    ]),
}

STRINGS = {
    5101: "Kolvex 压缩专家",
    5102: "Kolvex 帮助",
    5103: "控制台 KVX 手册",
    5104: "卸载 Kolvex",
    5105: "卸载已经完成",
    5106: "你应该手动删除 %s",
    5107: "继续卸载 Kolvex 吗？",
    5108: "无法打开列表文件 %s",
    5109: "Kolvex 档案文件",
    5110: "Kolvex ZIP 档案文件",
    5111: "KVX 恢复卷",
    5112: "https://www.kolvex.example/",
    5113: "处理 KVX、ZIP 和其它档案文件格式",
    5114: "你必须重新启动 Windows 才能完全卸载 Kolvex。",
}

# The shell shows the first icon group of the file as the program's icon.
ICON_GROUPS = ["DELICON", "KVXICON"]
ICON_SIZES = [16, 32]

# Atoms of the predefined window classes in a dialog template.
CLASS_ATOMS = {0x80: "Button", 0x81: "Edit", 0x82: "Static",
               0x83: "ListBox", 0x84: "ScrollBar", 0x85: "ComboBox"}


# ---------------------------------------------------------------------------
# Reading the PE file

class FormatError(Exception):
    pass


class Reader:
    """Bounded little-endian reads from a byte buffer."""

    def __init__(self, data, what="file"):
        self.data = data
        self.what = what

    def unpack(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise FormatError("%s: read of %d bytes at %#x is outside its %d bytes"
                              % (self.what, size, offset, len(self.data)))
        return struct.unpack_from("<" + fmt, self.data, offset)

    def u16(self, offset):
        return self.unpack("H", offset)[0]

    def u32(self, offset):
        return self.unpack("I", offset)[0]

    def bytes(self, offset, size):
        if offset < 0 or size < 0 or offset + size > len(self.data):
            raise FormatError("%s: %d bytes at %#x are outside its %d bytes"
                              % (self.what, size, offset, len(self.data)))
        return self.data[offset:offset + size]

    def cstring(self, offset, limit=512):
        end = self.data.find(b"\0", offset, offset + limit)
        if offset >= len(self.data) or end < 0:
            raise FormatError("%s: unterminated name at %#x" % (self.what, offset))
        return self.data[offset:end].decode("latin-1")


class PeFile:
    def __init__(self, data):
        self.r = Reader(data)
        if self.r.bytes(0, 2) != b"MZ":
            raise FormatError("no MZ signature: not a Windows executable")
        pe = self.r.u32(0x3C)
        if self.r.bytes(pe, 4) != b"PE\0\0":
            raise FormatError("no PE signature at %#x" % pe)
        (self.machine, sections, _, _, _, opt_size,
         self.characteristics) = self.r.unpack("HHIIIHH", pe + 4)
        opt = pe + 24
        self.magic = self.r.u16(opt)
        self.subsystem = self.r.u16(opt + 68)
        if self.magic == 0x10B:
            dirs, self.thunk_size = opt + 96, 4
        elif self.magic == 0x20B:
            dirs, self.thunk_size = opt + 112, 8
        else:
            raise FormatError("unknown optional header magic %#x" % self.magic)
        count = self.r.u32(dirs - 4)
        self.dirs = [self.r.unpack("II", dirs + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        table = opt + opt_size
        for i in range(sections):
            (vsize, va, raw_size, raw_ptr) = self.r.unpack("IIII", table + 40 * i + 8)
            self.sections.append((va, max(vsize, raw_size), raw_ptr, raw_size))

    def directory(self, index):
        if index < len(self.dirs):
            return self.dirs[index]
        return (0, 0)

    def offset(self, rva):
        for va, size, raw_ptr, raw_size in self.sections:
            if va <= rva < va + size:
                if rva - va >= raw_size:
                    raise FormatError("RVA %#x lies in uninitialised data" % rva)
                return raw_ptr + rva - va
        raise FormatError("RVA %#x is in no section" % rva)

    def imports(self):
        """[(dll, [function names])] of the normal and the delay-load imports."""
        result = []
        rva, _ = self.directory(1)
        while rva:
            at = self.offset(rva)
            lookup, _, _, name, first = self.r.unpack("IIIII", at)
            if not (lookup or name or first):
                break
            result.append((self.r.cstring(self.offset(name)),
                           self.thunk_names(lookup or first)))
            rva += 20
        rva, _ = self.directory(13)
        while rva:
            at = self.offset(rva)
            attrs, name, _, _, names = self.r.unpack("IIIII", at)
            if not name:
                break
            if not attrs & 1:
                raise FormatError("delay-load descriptor with virtual addresses")
            result.append((self.r.cstring(self.offset(name)) + " (delay-loaded)",
                           self.thunk_names(names)))
            rva += 32
        return result

    def thunk_names(self, rva):
        names = []
        fmt = "I" if self.thunk_size == 4 else "Q"
        ordinal_flag = 1 << (8 * self.thunk_size - 1)
        while True:
            value = self.r.unpack(fmt, self.offset(rva))[0]
            if not value:
                return names
            if value & ordinal_flag:
                names.append("#%d" % (value & 0xFFFF))
            else:
                names.append(self.r.cstring(self.offset(value & 0x7FFFFFFF) + 2))
            rva += self.thunk_size

    def resources(self):
        """The resource tree as {type: [(name, [(lang, data)])]} in directory order.

        Types and names are numbers or upper-case strings, as the loader sees them.
        """
        rva, _ = self.directory(2)
        if not rva:
            return {}
        base = self.offset(rva)
        tree = {}
        for rtype, types_at in self.res_dir(base, 0):
            names = []
            for name, names_at in self.res_dir(base, types_at):
                langs = []
                for lang, data_at in self.res_dir(base, names_at, leaves=True):
                    data_rva, size, _, _ = self.r.unpack("IIII", base + data_at)
                    langs.append((lang, self.r.bytes(self.offset(data_rva), size)))
                names.append((name, langs))
            tree[rtype] = names
        return tree

    def res_dir(self, base, at, leaves=False):
        _, _, _, _, named, ids = self.r.unpack("IIHHHH", base + at)
        entries = []
        for i in range(named + ids):
            key, target = self.r.unpack("II", base + at + 16 + 8 * i)
            if key & 0x80000000:
                s = base + (key & 0x7FFFFFFF)
                length = self.r.u16(s)
                key = self.r.bytes(s + 2, 2 * length).decode("utf-16-le")
            is_dir = bool(target & 0x80000000)
            if is_dir == leaves:
                raise FormatError("resource directory nesting is wrong at %#x" % at)
            entries.append((key, target & 0x7FFFFFFF))
        return entries


# ---------------------------------------------------------------------------
# Reading a dialog template

def read_sz_or_ord(r, at):
    """(value, next offset): a number, a string, or None for 'none'."""
    first = r.u16(at)
    if first == 0:
        return None, at + 2
    if first == 0xFFFF:
        return r.u16(at + 2), at + 4
    return read_wstring(r, at)


def read_wstring(r, at):
    end = at
    while r.u16(end) != 0:
        end += 2
    return r.bytes(at, end - at).decode("utf-16-le", "surrogatepass"), end + 2


def align4(at):
    return (at + 3) & ~3


def parse_dialog(data):
    """A dict of the template's fields and its 'controls' (DLGTEMPLATE or -EX)."""
    r = Reader(data, "dialog template")
    d = {}
    extended = r.u16(0) == 1 and r.u16(2) == 0xFFFF
    d["extended"] = extended
    if extended:
        _, _, _, d["exstyle"], d["style"], count, x, y, cx, cy = \
            r.unpack("HHIIIHhhhh", 0)
        at = 26
    else:
        d["style"], d["exstyle"], count, x, y, cx, cy = r.unpack("IIHhhhh", 0)
        at = 18
    d["rect"] = (x, y, cx, cy)
    d["menu"], at = read_sz_or_ord(r, at)
    d["class"], at = read_sz_or_ord(r, at)
    d["title"], at = read_sz_or_ord(r, at)
    d["font"] = None
    if d["style"] & DS_SHELLFONT:
        size = r.u16(at)
        at += 2
        if extended:
            at += 4  # weight, italic, charset
        face, at = read_wstring(r, at)
        d["font"] = (size, face)
    controls = []
    for _ in range(count):
        at = align4(at)
        c = {}
        if extended:
            _, c["exstyle"], c["style"], x, y, cx, cy, c["id"] = \
                r.unpack("IIIhhhhi", at)
            at += 24
        else:
            # The 16-bit id 65535 is the -1 of the .rc file.
            c["style"], c["exstyle"], x, y, cx, cy, c["id"] = \
                r.unpack("IIhhhhh", at)
            at += 18
        c["rect"] = (x, y, cx, cy)
        c["class"], at = read_sz_or_ord(r, at)
        if isinstance(c["class"], int):
            c["class"] = CLASS_ATOMS.get(c["class"], "#%d" % c["class"])
        c["text"], at = read_sz_or_ord(r, at)
        extra = r.u16(at)
        at += 2 + extra
        controls.append(c)
    d["controls"] = controls
    return d


# ---------------------------------------------------------------------------
# The checks

class Results:
    def __init__(self, verbose):
        self.verbose = verbose
        self.groups = []  # [name, passed, failed]

    def group(self, name):
        self.groups.append([name, 0, 0])

    def check(self, ok, what, detail=""):
        entry = self.groups[-1]
        if ok:
            entry[1] += 1
            if self.verbose:
                print("  ok    %s" % what)
        else:
            entry[2] += 1
            print("  FAIL  %s%s" % (what, ": " + detail if detail else ""))
        return ok

    def failed(self):
        return sum(g[2] for g in self.groups)

    def summary(self):
        for name, passed, failed in self.groups:
            print("%-20s %d passed, %d failed" % (name + ":", passed, failed))
        total_passed = sum(g[1] for g in self.groups)
        print("%-20s %d passed, %d failed" % ("total:", total_passed, self.failed()))


def show(value):
    return "none" if value is None else repr(value)


def check_header(pe, arch, res):
    res.group("PE header")
    magic, machine, desc = ARCHES[arch]
    res.check(pe.magic == magic, "optional header magic %#x (%s)" % (magic, desc),
              "found %#x" % pe.magic)
    res.check(pe.machine == machine, "machine %#x" % machine,
              "found %#x" % pe.machine)
    res.check(pe.subsystem == SUBSYSTEM_WINDOWS_GUI, "subsystem Windows GUI (2)",
              "found %d" % pe.subsystem)
    res.check(not pe.characteristics & 0x2000, "an executable, not a DLL",
              "the DLL flag is set")


def check_imports(pe, res):
    res.group("imports")
    imports = pe.imports()
    print("Imports:")
    for dll, names in imports:
        print("  %s: %d: %s" % (dll, len(names), ", ".join(names)))
    res.check(bool(imports), "the program imports something", "no import table")
    for dll, _ in imports:
        base = dll.split(" ")[0].lower()
        if base.endswith(".dll"):
            base = base[:-4]
        if base.startswith(COMPILER_RUNTIME_PREFIXES):
            res.check(False, "import %s" % dll,
                      "a compiler runtime DLL; link it statically "
                      "(-static -static-libgcc -static-libstdc++)")
        else:
            res.check(base in ALLOWED_DLLS, "import %s" % dll,
                      "not one of the Windows DLLs the program may use: %s"
                      % ", ".join(sorted(ALLOWED_DLLS)))


def single_language(res, tree, rtype, name, lang, what):
    """The data of resource (rtype, name) when it exists once in `lang`."""
    for key, langs in tree.get(rtype, []):
        if key == name:
            ids = [l for l, _ in langs]
            if not res.check(ids == [lang] if lang is not None else len(ids) == 1,
                             "%s has one language%s" % (
                                 what, "" if lang is None else " (%d)" % lang),
                             "found languages %s" % ids):
                return None
            return langs[0][1]
    res.check(False, "%s exists" % what, "missing")
    return None


def check_dialogs(tree, res):
    res.group("dialogs")
    for name, want in DIALOGS.items():
        data = single_language(res, tree, RT_DIALOG, name, LANG_ZH_CN,
                               "dialog %s" % name)
        if data is None:
            continue
        try:
            got = parse_dialog(data)
        except FormatError as e:
            res.check(False, "dialog %s parses" % name, str(e))
            continue
        check_dialog(name, want, got, res)


def check_dialog(name, want, got, res):
    res.check(got["style"] == want.style, "%s style %#010x" % (name, want.style),
              "found %#010x (differs in %#010x)"
              % (got["style"], got["style"] ^ want.style))
    res.check(got["exstyle"] == 0, "%s has no extended style" % name,
              "found %#x" % got["exstyle"])
    res.check(got["rect"] == want.rect, "%s position and size %s" % (name, want.rect),
              "found %s" % (got["rect"],))
    res.check(got["menu"] is None and got["class"] is None,
              "%s has no menu and no own window class" % name,
              "menu %s, class %s" % (show(got["menu"]), show(got["class"])))
    res.check(got["title"] == want.title, "%s title %r" % (name, want.title),
              "found %s" % show(got["title"]))
    res.check(got["font"] == want.font, "%s font %s" % (name, want.font),
              "found %s" % show(got["font"]))
    controls = got["controls"]
    res.check(len(controls) == len(want.controls),
              "%s has %d controls" % (name, len(want.controls)),
              "found %d" % len(controls))
    for index, (cid, cls, rect, style, text) in enumerate(want.controls):
        label = "%s control %d (id %d)" % (name, index + 1, cid)
        if index >= len(controls):
            res.check(False, label, "missing")
            continue
        c = controls[index]
        problems = []
        if c["id"] != cid:
            problems.append("id %d, expected %d" % (c["id"], cid))
        if not isinstance(c["class"], str) or c["class"].lower() != cls.lower():
            problems.append("class %s, expected %r" % (show(c["class"]), cls))
        if c["rect"] != rect:
            problems.append("position and size %s, expected %s" % (c["rect"], rect))
        if c["style"] != style:
            problems.append("style %#010x, expected %#010x" % (c["style"], style))
        if c["exstyle"] != 0:
            problems.append("extended style %#x, expected 0" % c["exstyle"])
        got_text = c["text"] if c["text"] is not None else ""
        if text is ANY_TEXT:
            if not isinstance(got_text, str) or not got_text:
                problems.append("empty text, expected a product text")
        elif got_text != text:
            problems.append("text %r, expected %r" % (got_text, text))
        res.check(not problems, label, "; ".join(problems))


def check_strings(tree, res):
    res.group("strings")
    blocks = {}
    for key, langs in tree.get(RT_STRING, []):
        blocks[key] = langs
    for sid, text in STRINGS.items():
        block_id, slot = sid // 16 + 1, sid % 16
        langs = blocks.get(block_id)
        label = "string %d %r" % (sid, text)
        if langs is None:
            res.check(False, label, "string block %d is missing" % block_id)
            continue
        by_lang = dict(langs)
        if LANG_ZH_CN not in by_lang:
            res.check(False, label, "string block %d has languages %s, not %d"
                      % (block_id, [l for l, _ in langs], LANG_ZH_CN))
            continue
        try:
            raw = string_slot(by_lang[LANG_ZH_CN], slot)
        except FormatError as e:
            res.check(False, label, str(e))
            continue
        want = text.encode("utf-16-le")
        res.check(raw == want, label,
                  "found %r" % raw.decode("utf-16-le", "replace"))


def string_slot(block, slot):
    """The UTF-16 bytes of entry `slot` of a 16-entry string block."""
    r = Reader(block, "string block")
    at = 0
    for i in range(16):
        length = r.u16(at)
        if i == slot:
            return r.bytes(at + 2, 2 * length)
        at += 2 + 2 * length
    raise FormatError("slot %d not found" % slot)


def check_icons(tree, res):
    res.group("icons")
    groups = tree.get(RT_GROUP_ICON, [])
    names = [key for key, _ in groups]
    res.check(bool(names) and names[0] == ICON_GROUPS[0],
              "%s is the first icon group" % ICON_GROUPS[0],
              "icon groups in directory order: %s" % names)
    icons = {key: langs for key, langs in tree.get(RT_ICON, [])}
    for name in ICON_GROUPS:
        data = single_language(res, tree, RT_GROUP_ICON, name, None,
                               "icon group %s" % name)
        if data is None:
            continue
        try:
            entries = icon_group_entries(data)
        except FormatError as e:
            res.check(False, "icon group %s parses" % name, str(e))
            continue
        sizes = sorted(set(w for w, h, _ in entries if w == h))
        for size in ICON_SIZES:
            res.check(size in sizes, "%s has a %dx%d image" % (name, size, size),
                      "sizes found: %s" % sizes)
        for width, height, icon_id in entries:
            label = "%s image %dx%d (icon %d)" % (name, width, height, icon_id)
            langs = icons.get(icon_id)
            if not langs:
                res.check(False, label, "the icon resource is missing")
                continue
            res.check(icon_size(langs[0][1]) == (width, height), label,
                      "the image is %s" % (icon_size(langs[0][1]),))


def icon_group_entries(data):
    r = Reader(data, "icon group")
    reserved, kind, count = r.unpack("HHH", 0)
    if reserved != 0 or kind != 1:
        raise FormatError("not an icon group header")
    entries = []
    for i in range(count):
        w, h, _, _, _, _, _, icon_id = r.unpack("BBBBHHIH", 6 + 14 * i)
        entries.append((w or 256, h or 256, icon_id))
    return entries


def icon_size(data):
    """(width, height) of an icon image, a DIB or a PNG."""
    r = Reader(data, "icon image")
    if r.bytes(0, 8) == b"\x89PNG\r\n\x1a\n":
        return tuple(struct.unpack(">II", r.bytes(16, 8)))
    header, width, height = r.unpack("Iii", 0)
    if header < 40:
        return None
    # The height of an icon DIB covers the colour image and the mask.
    return (width, height // 2)


def check_manifest(tree, res):
    res.group("manifest")
    manifests = [key for key, _ in tree.get(RT_MANIFEST, [])]
    res.check(manifests == [1], "one manifest, id 1",
              "manifest ids found: %s" % manifests)
    data = single_language(res, tree, RT_MANIFEST, 1, None, "manifest 1")
    if data is None:
        return
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as e:
        res.check(False, "manifest is well-formed XML", str(e))
        return
    res.check(True, "manifest is well-formed XML")
    found_controls = found_level = False
    for element in root.iter():
        tag = element.tag.split("}")[-1]
        if (tag == "assemblyIdentity"
                and element.get("name") == "Microsoft.Windows.Common-Controls"):
            found_controls = element.get("version") == "6.0.0.0"
        if tag == "requestedExecutionLevel":
            found_level = element.get("level") == "asInvoker"
    res.check(found_controls, "manifest asks for Microsoft.Windows.Common-Controls "
              "version 6.0.0.0", "no such dependency")
    res.check(found_level, "manifest asks for the execution level asInvoker",
              "no requestedExecutionLevel asInvoker")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--arch", choices=sorted(ARCHES), default="i686",
                        help="the build to expect (default: the shipped i686 one)")
    parser.add_argument("--verbose", action="store_true",
                        help="list every check, not only the failures")
    args = parser.parse_args()

    try:
        with open(args.exe, "rb") as f:
            data = f.read()
        pe = PeFile(data)
    except OSError as e:
        print("check_product: cannot read %s: %s" % (args.exe, e))
        return 2
    except FormatError as e:
        print("check_product: %s is not a readable PE file: %s" % (args.exe, e))
        return 2

    print("Checking %s as the %s build" % (args.exe, args.arch))
    res = Results(args.verbose)
    check_header(pe, args.arch, res)
    try:
        check_imports(pe, res)
    except FormatError as e:
        res.check(False, "import table parses", str(e))
    try:
        tree = pe.resources()
    except FormatError as e:
        res.group("resources")
        res.check(False, "resource directory parses", str(e))
        tree = None
    if tree is not None:
        check_dialogs(tree, res)
        check_strings(tree, res)
        check_icons(tree, res)
        check_manifest(tree, res)
    res.summary()
    if res.failed():
        print("check_product: FAILED")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
