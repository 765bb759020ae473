// velorin-rc: what it writes for a script, byte for byte where a resource compiler fixes the
// layout, and the file:line of what it refuses.
#include "compiler.hpp"
#include "preprocessor.hpp"
#include "rc_error.hpp"
#include "resource_test_support.hpp"
#include "resources/dialog_template_parser.hpp"
#include "resources/resource_module.hpp"

#include <gmock/gmock.h>

#include <map>
#include <sys/wait.h>

namespace velorin::test {
namespace {

using resources::DialogTemplate;
using resources::ResourceKey;
using resources::ResourceModule;
using ::testing::HasSubstr;

rc::CompileResult compileScript(const ScratchDir& dir, std::string_view script)
{
    return rc::compile(dir.write("main.rc", script), rc::CompileOptions{{VELORIN_RC_SYSTEM_INCLUDE}});
}

DialogTemplate dialogOf(const ResourceModule& module, WORD id)
{
    const auto* entry = module.find(ResourceKey::of(resources::kRtDialog), ResourceKey::of(id));
    if (!entry)
        throw std::runtime_error("no dialog " + std::to_string(id));
    return resources::parseDialogTemplate(module.data(*entry));
}

TEST(RcCompiler, WritesTheResFileAndDialogTemplateExByteForByte)
{
    ScratchDir dir;
    const Bytes res = compileScript(dir, R"(#include <winresrc.h>
1 DIALOGEX 10, 20, 100, 50
STYLE WS_POPUP | WS_CAPTION
CAPTION "Hi"
FONT 8, "A"
BEGIN
    PUSHBUTTON "OK", IDOK, 5, 6, 40, 14
END
)")
                          .res;
    const Bytes expected = {
        // The empty entry that opens every .res file.
        0x00,
        0x00,
        0x00,
        0x00,
        0x20,
        0x00,
        0x00,
        0x00,
        0xFF,
        0xFF,
        0x00,
        0x00,
        0xFF,
        0xFF,
        0x00,
        0x00,  //
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,  //
        // RESOURCEHEADER: 84 data bytes, 32 header bytes, RT_DIALOG, name 1, data version 0,
        // MOVEABLE | PURE | DISCARDABLE, English (United States), version 0, characteristics 0.
        0x54,
        0x00,
        0x00,
        0x00,
        0x20,
        0x00,
        0x00,
        0x00,
        0xFF,
        0xFF,
        0x05,
        0x00,
        0xFF,
        0xFF,
        0x01,
        0x00,  //
        0x00,
        0x00,
        0x00,
        0x00,
        0x30,
        0x10,
        0x09,
        0x04,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,  //
        // DLGTEMPLATEEX: version 1, signature, help id, extended style, style with the
        // DS_SETFONT that FONT implies, one item, x, y, cx, cy, no menu, no class, "Hi".
        0x01,
        0x00,
        0xFF,
        0xFF,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x40,
        0x00,
        0xC0,
        0x80,  //
        0x01,
        0x00,
        0x0A,
        0x00,
        0x14,
        0x00,
        0x64,
        0x00,
        0x32,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        'H',
        0x00,  //
        'i',
        0x00,
        0x00,
        0x00,  //
        // Font: 8 points, weight 0, not italic, DEFAULT_CHARSET, "A"; padding to a DWORD.
        0x08,
        0x00,
        0x00,
        0x00,
        0x00,
        0x01,
        'A',
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,  //
        // DLGITEMTEMPLATEEX: help id, extended style, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y,
        // cx, cy, id 1 in 32 bits, class ordinal 0x0080 (BUTTON), "OK", no creation data.
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x01,
        0x50,
        0x05,
        0x00,
        0x06,
        0x00,  //
        0x28,
        0x00,
        0x0E,
        0x00,
        0x01,
        0x00,
        0x00,
        0x00,
        0xFF,
        0xFF,
        0x80,
        0x00,
        'O',
        0x00,
        'K',
        0x00,  //
        0x00,
        0x00,
        0x00,
        0x00,
    };
    EXPECT_EQ(res, expected);
}

TEST(RcCompiler, DialogWithoutExKeepsSixteenBitIdsAndAShortFont)
{
    ScratchDir dir;
    const auto module = ResourceModule::parse(compileScript(dir, R"(#include <winresrc.h>
7 DIALOG 1, 2, 30, 40
STYLE WS_POPUP | DS_MODALFRAME
EXSTYLE WS_EX_TOPMOST
FONT 9, "Tahoma"
BEGIN
    LTEXT "x", IDC_STATIC, 1, 2, 3, 4
    EDITTEXT 300, 5, 6, 7, 8
END
)")
                                                  .res);
    const DialogTemplate t = dialogOf(module, 7);
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, 0x800000C0u);
    EXPECT_EQ(t.exStyle, 0x00000008u);
    EXPECT_EQ(t.fontPointSize, 9);
    EXPECT_EQ(t.fontFace, L"Tahoma");
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[0].id, -1);
    EXPECT_EQ(t.items[0].className, L"STATIC");
    EXPECT_EQ(t.items[1].id, 300);
    EXPECT_EQ(t.items[1].className, L"EDIT");
    EXPECT_EQ(t.items[1].text, L"");
    EXPECT_EQ(t.items[1].style, 0x50810000u);
    // 18 bytes, empty menu, class and caption, 2 + 14 for the font: 40; then items of 28 and
    // 26 bytes, each starting on a DWORD.
    const auto* entry = module.find(ResourceKey::of(resources::kRtDialog), ResourceKey::of(WORD{7}));
    EXPECT_EQ(entry->size, 94u);
}

// What a resource compiler adds to, or takes from, the styles written in the script.
TEST(RcCompiler, ImpliedStylesOfDialogsAndControls)
{
    struct Case {
        const char* body;
        DWORD style;
        std::vector<DWORD> items;
    };
    const Case cases[] = {
        {"BEGIN END", 0x80880000, {}},                                // WS_POPUP | WS_BORDER | WS_SYSMENU
        {"CAPTION \"c\" BEGIN END", 0x80C80000, {}},                  // CAPTION adds WS_CAPTION
        {"STYLE WS_POPUP\nFONT 8, \"A\" BEGIN END", 0x80000040, {}},  // FONT adds DS_SETFONT
        {"STYLE WS_POPUP | DS_SETFONT BEGIN END", 0x80000000, {}},    // no FONT, no DS_SETFONT
        {"STYLE WS_POPUP | WS_VISIBLE | NOT WS_VISIBLE BEGIN END", 0x80000000, {}},
        {"STYLE 0 BEGIN\n"
         " PUSHBUTTON \"a\", 1, 0, 0, 1, 1\n"
         " DEFPUSHBUTTON \"a\", 2, 0, 0, 1, 1\n"
         " LTEXT \"a\", 3, 0, 0, 1, 1\n"
         " CTEXT \"a\", 4, 0, 0, 1, 1\n"
         " RTEXT \"a\", 5, 0, 0, 1, 1\n"
         " GROUPBOX \"a\", 6, 0, 0, 1, 1\n"
         " EDITTEXT 7, 0, 0, 1, 1, ES_NUMBER\n"
         " PUSHBUTTON \"a\", 8, 0, 0, 1, 1, NOT WS_TABSTOP | BS_FLAT\n"
         " LTEXT \"a\", 9, 0, 0, 1, 1, SS_NOTIFY, WS_EX_STATICEDGE\n"
         " CONTROL \"a\", 10, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0, 1, 1\n"
         " CONTROL \"a\", 11, \"Static\", NOT WS_VISIBLE | SS_CENTER, 0, 0, 1, 1\n"
         "END",
         0x00000000,
         {0x50010000, 0x50010001, 0x50020000, 0x50020001, 0x50020002, 0x50000007, 0x50812000, 0x50008000, 0x50020100,
          0x50010003, 0x40000001}},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const auto module = ResourceModule::parse(
            compileScript(dir, std::string("#include <winresrc.h>\n1 DIALOGEX 0, 0, 10, 10\n") + c.body + "\n").res);
        const DialogTemplate t = dialogOf(module, 1);
        EXPECT_EQ(t.style, c.style) << c.body;
        ASSERT_EQ(t.items.size(), c.items.size()) << c.body;
        for (std::size_t i = 0; i < c.items.size(); ++i)
            EXPECT_EQ(t.items[i].style, c.items[i]) << c.body << " item " << i;
        if (!c.items.empty()) {
            EXPECT_EQ(t.items[8].exStyle, 0x00020000u);
            EXPECT_EQ(t.items[9].className, L"BUTTON");
            EXPECT_EQ(t.items[10].className, L"STATIC");
        }
    }
}

TEST(RcCompiler, ControlClassesTextOrdinalsAndHelpIds)
{
    ScratchDir dir;
    const auto module = ResourceModule::parse(compileScript(dir, R"(
5 DIALOGEX 0, 0, 10, 10, 77
CLASS "MyDialog"
MENU 9
BEGIN
    CONTROL "", 1, "msctls_progress32", 0, 0, 0, 1, 1, 0, 55
    CONTROL 130, 2, STATIC, 0x0E, 0, 0, 1, 1
END
)")
                                                  .res);
    const DialogTemplate t = dialogOf(module, 5);
    EXPECT_EQ(t.helpId, 77u);
    EXPECT_EQ(t.windowClass, L"MyDialog");
    EXPECT_EQ(t.menu, L"#9");
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[0].className, L"msctls_progress32");
    EXPECT_EQ(t.items[0].helpId, 55u);
    EXPECT_EQ(t.items[1].className, L"STATIC");
    EXPECT_EQ(t.items[1].textOrdinal, 130);
    EXPECT_EQ(t.items[1].style, 0x5000000Eu);
}

TEST(RcCompiler, PreprocessorMacrosConditionsIncludesAndStrings)
{
    ScratchDir dir;
    dir.write("resource.h", "#define IDD_X 42\n");
    // C declarations in an included header are not the script's business.
    dir.write("inc/shared.h", "#define SHARED_ID 7\nextern int ignored; const char quote = '\"'; double d = 1.5e3;\n");
    const std::string script = R"(#include "resource.h"
#include <shared.h>
#define BASE 100
#define NEXT BASE + 1
#ifdef BASE
#define PICKED 11
#else
#define PICKED 22
#endif
#ifndef NOT_DEFINED
#ifdef NOT_DEFINED_EITHER
#define OTHER 44
#else
#define OTHER 33
#endif
#endif
#undef BASE
#define BASE 200
#pragma code_page(65001)
IDD_X DIALOGEX 0, 0, 10, 10
CAPTION "Caf)"
                               "\xc3\xa9"
                               R"("
BEGIN
    LTEXT "tab\there ""quoted"" \x41\101 \\", NEXT, 0, 0, 1, 1
    LTEXT L"wide", PICKED, 0, 0, 1, 1
    LTEXT "", OTHER, 0, 0, 1, 1
    LTEXT "", SHARED_ID, 0, 0, 1, 1
    LTEXT "", 2 | 1 + 1, 0, 0, 1, 1   /* left to right: (2 | 1) + 1 */
    LTEXT "", ~0 & 0xFF, -3, 0, 1, 1
END
)";
    const auto result = rc::compile(dir.write("main.rc", script), rc::CompileOptions{{dir.path() / "inc"}});
    const DialogTemplate t = dialogOf(ResourceModule::parse(result.res), 42);
    EXPECT_EQ(t.caption, L"Caf\u00e9");
    ASSERT_EQ(t.items.size(), 6u);
    EXPECT_EQ(t.items[0].text, L"tab\there \"quoted\" AA \\");
    EXPECT_EQ(t.items[0].id, 201);  // NEXT expands where it is used, after BASE became 200
    EXPECT_EQ(t.items[1].text, L"wide");
    EXPECT_EQ(t.items[1].id, 11);
    EXPECT_EQ(t.items[2].id, 33);
    EXPECT_EQ(t.items[3].id, 7);
    EXPECT_EQ(t.items[4].id, 4);
    EXPECT_EQ(t.items[5].id, 0xFF);
    EXPECT_EQ(t.items[5].x, -3);
    ASSERT_EQ(result.inputs.size(), 3u);
    EXPECT_EQ(result.inputs[1].filename(), "resource.h");
    EXPECT_EQ(result.inputs[2].filename(), "shared.h");
}

TEST(RcCompiler, IconsBecomeNumberedImagesAndAGroupDirectory)
{
    ScratchDir dir;
    const Bytes ico = icoFile({iconSpec(16, 4), iconSpec(32, 24)});
    dir.write("app.ico", ico);
    dir.write("other.ico", icoFile({iconSpec(48, 8)}));
    const auto module = ResourceModule::parse(compileScript(dir, R"(
128 ICON "app.ico"
129 ICON "other.ico"
)")
                                                  .res);
    ASSERT_EQ(module.entries().size(), 5u);
    // Images are numbered from 1 across the script; each group follows its images.
    const auto& e = module.entries();
    EXPECT_EQ(e[0].type, ResourceKey::of(resources::kRtIcon));
    EXPECT_EQ(e[0].name, ResourceKey::of(WORD{1}));
    EXPECT_EQ(e[0].memoryFlags, 0x1010);
    EXPECT_EQ(e[2].type, ResourceKey::of(resources::kRtGroupIcon));
    EXPECT_EQ(e[2].memoryFlags, 0x1030);
    EXPECT_EQ(e[3].name, ResourceKey::of(WORD{3}));
    const std::uint32_t firstSize = get32(ico, 6 + 8), secondSize = get32(ico, 6 + 16 + 8);
    const auto data0 = module.data(e[0]);
    EXPECT_TRUE(std::equal(data0.begin(), data0.end(), ico.begin() + get32(ico, 6 + 12)));
    EXPECT_EQ(data0.size(), firstSize);

    // GRPICONDIR: planes and depth come from each image's own header, not the file's directory.
    Bytes group = {0, 0, 1, 0, 2, 0, 16, 16, 16, 0, 1, 0, 4, 0};
    put32(group, firstSize);
    put16(group, 1);
    group.insert(group.end(), {32, 32, 0, 0, 1, 0, 24, 0});
    put32(group, secondSize);
    put16(group, 2);
    const auto data2 = module.data(e[2]);
    EXPECT_EQ(Bytes(data2.begin(), data2.end()), group);
}

TEST(RcCompiler, BitmapsLoseTheirFileHeaderAndKeepLanguageAndMemoryOptions)
{
    ScratchDir dir;
    DibSpec layout;
    layout.width = 3;
    layout.height = 2;
    const Bytes file = bmpFile(makeDib(layout));
    dir.write("pics/a.bmp", file);
    const auto module = ResourceModule::parse(compileScript(dir, R"(#include <winresrc.h>
130 BITMAP "pics/a.bmp"
LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL
131 BITMAP DISCARDABLE "pics\\a.bmp"
)")
                                                  .res);
    ASSERT_EQ(module.entries().size(), 2u);
    const auto& a = module.entries()[0];
    const auto& b = module.entries()[1];
    const auto data = module.data(a);
    EXPECT_EQ(Bytes(data.begin(), data.end()), Bytes(file.begin() + 14, file.end()));
    EXPECT_EQ(a.memoryFlags, 0x0030);
    EXPECT_EQ(a.language, 0x0409);
    EXPECT_EQ(b.memoryFlags, 0x1030);
    EXPECT_EQ(b.language, 0x0000);
}

// Each bad script names the file and line of its fault and what is wrong.
TEST(RcCompiler, RefusesBadInputNamingFileAndLine)
{
    DibSpec small;
    const Bytes bmp = bmpFile(makeDib(small));
    Bytes gapped = bmp;
    gapped[10] += 4;
    Bytes cursor = icoFile({iconSpec(16, 4)});
    cursor[2] = 2;
    const std::string dialog = "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n";

    struct Case {
        std::map<std::string, Bytes> files;
        std::string file;
        int line;
        std::string problem;
    };
    const auto text = [](std::string_view t) { return Bytes(t.begin(), t.end()); };
    const std::vector<Case> cases = {
        {{{"main.rc", text(dialog + "  PUSHBUTON \"a\", 1, 0, 0, 1, 1\nEND\n")}},
         "main.rc",
         3,
         "unknown control PUSHBUTON"},
        {{{"main.rc", text(dialog + "  PUSHBUTTON \"a\", IDC_NOPE, 0, 0, 1, 1\nEND\n")}},
         "main.rc",
         3,
         "IDC_NOPE is not defined"},
        {{{"main.rc", text(dialog + "  PUSHBUTTON \"a\" 1, 0, 0, 1, 1\nEND\n")}},
         "main.rc",
         3,
         "expected ',' before the control id"},
        {{{"main.rc", text("1 DIALOGEX 0, 0, 1, 1\nCAPTION \"open\nBEGIN\nEND\n")}}, "main.rc", 2, "string not closed"},
        {{{"main.rc", text("// fine\n/* never\nclosed\n")}}, "main.rc", 2, "comment not closed"},
        {{{"main.rc", text("\n#include \"nothere.h\"\n")}}, "main.rc", 2, "cannot find include file nothere.h"},
        {{{"main.rc", text("#include \"bad.h\"\n")}, {"bad.h", text("#define A 1\n#define F(x) x\n")}},
         "bad.h",
         2,
         "function-like macro F"},
        {{{"main.rc", text("#else\n")}}, "main.rc", 1, "#else without"},
        {{{"main.rc", text("\n\n#ifdef X\n130 BITMAP \"a.bmp\"\n")}}, "main.rc", 3, "conditional without #endif"},
        {{{"main.rc", text("#if 1\n#endif\n")}}, "main.rc", 1, "#if is not supported"},
        {{{"main.rc", text("#warning careful\n")}}, "main.rc", 1, "unknown directive #warning"},
        {{{"main.rc", text("\n#error stop here\n")}}, "main.rc", 2, "#error stop here"},
        {{{"main.rc", text("IDD_NONE DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n")}},
         "main.rc",
         1,
         "resource name IDD_NONE is not a defined number"},
        {{{"main.rc", text("0 BITMAP \"a.bmp\"\n")}}, "main.rc", 1, "resource number 0 is out of range"},
        {{{"main.rc", text("1 MENU\nBEGIN\nEND\n")}}, "main.rc", 1, "unsupported resource type MENU"},
        {{{"main.rc", text(dialog + "END\n\n1 DIALOG 0, 0, 1, 1\nBEGIN\nEND\n")}},
         "main.rc",
         5,
         "DIALOG 1 is already defined at "},
        {{{"main.rc", text("1 DIALOGEX 0, 0, 40000, 1\nBEGIN\nEND\n")}},
         "main.rc",
         1,
         "dialog width 40000 does not fit in 16 bits"},
        {{{"main.rc", text("1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"a\", 70000, 0, 0, 1, 1\nEND\n")}},
         "main.rc",
         3,
         "control id 70000 does not fit in 16 bits"},
        {{{"main.rc", text("1 DIALOG 0, 0, 1, 1, 5\nBEGIN\nEND\n")}}, "main.rc", 1, "a help id needs DIALOGEX"},
        {{{"main.rc", text("1 DIALOG 0, 0, 1, 1\nFONT 8, \"A\", 400, 0, 1\nBEGIN\nEND\n")}},
         "main.rc",
         2,
         "need DIALOGEX"},
        {{{"main.rc", text("1 DIALOGEX 0, 0, 1, 1\nSTYLES 0\nBEGIN\nEND\n")}},
         "main.rc",
         2,
         "unknown dialog statement STYLES"},
        {{{"main.rc", text(dialog + "  LTEXT \"a\", 1, 0, 0, 1, 1\n")}}, "main.rc", 3, "dialog 1 has no END"},
        {{{"main.rc", text("1 DIALOGEX 0, 0, 12ab, 1\n")}}, "main.rc", 1, "malformed number '12ab'"},
        {{{"main.rc", text("1 DIALOGEX 0, 0, 1, 1 ;\n")}}, "main.rc", 1, "unexpected character ';'"},
        {{{"main.rc", text("1 DIALOGEX 0, 0, 1, 1\nCAPTION \"a\\q\"\n")}}, "main.rc", 2, "unknown escape \\q"},
        {{{"main.rc", text("\n130 BITMAP \"missing.bmp\"\n")}}, "main.rc", 2, "cannot find bitmap file missing.bmp"},
        {{{"main.rc", text("130 BITMAP \"fake.bmp\"\n")}, {"fake.bmp", text("GIF89a, not a bitmap at all....")}},
         "main.rc",
         1,
         "fake.bmp is not a BMP file"},
        {{{"main.rc", text("\n\n130 BITMAP \"gap.bmp\"\n")}, {"gap.bmp", gapped}},
         "main.rc",
         3,
         "gap.bmp: its pixels start at byte 58, not right after the colour table at byte 54"},
        {{{"main.rc", text("128 ICON \"c.ico\"\n")}, {"c.ico", cursor}},
         "main.rc",
         1,
         "c.ico is not an icon file (type 2)"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        for (const auto& [name, bytes] : c.files)
            dir.write(name, bytes);
        try {
            rc::compile(dir.path() / "main.rc", rc::CompileOptions{{VELORIN_RC_SYSTEM_INCLUDE}});
            ADD_FAILURE() << "accepted; expected " << c.problem;
        } catch (const rc::RcError& e) {
            EXPECT_EQ(std::filesystem::path(e.where().file).filename(), c.file) << e.what();
            EXPECT_EQ(e.where().line, c.line) << e.what();
            EXPECT_THAT(e.problem(), HasSubstr(c.problem)) << e.what();
            EXPECT_THAT(e.what(), HasSubstr(c.file + ":" + std::to_string(c.line) + ": "));
        }
    }
}

// A script's <winresrc.h> and the C++ headers of the device must agree on every value both
// define, or a template would carry other styles than the code that checks them expects.
TEST(RcCompiler, ScriptConstantsMatchTheDevicesHeaders)
{
    const std::pair<const char*, DWORD> constants[] = {
        {"WS_OVERLAPPED", WS_OVERLAPPED},
        {"WS_POPUP", WS_POPUP},
        {"WS_CHILD", WS_CHILD},
        {"WS_VISIBLE", WS_VISIBLE},
        {"WS_DISABLED", WS_DISABLED},
        {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
        {"WS_CLIPCHILDREN", WS_CLIPCHILDREN},
        {"WS_CAPTION", WS_CAPTION},
        {"WS_BORDER", WS_BORDER},
        {"WS_DLGFRAME", WS_DLGFRAME},
        {"WS_SYSMENU", WS_SYSMENU},
        {"WS_GROUP", WS_GROUP},
        {"WS_TABSTOP", WS_TABSTOP},
        {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
        {"WS_EX_TOPMOST", WS_EX_TOPMOST},
        {"WS_EX_APPWINDOW", WS_EX_APPWINDOW},
        {"WS_EX_CAPTIONOKBTN", WS_EX_CAPTIONOKBTN},
        {"DS_FIXEDSYS", DS_FIXEDSYS},
        {"DS_SETFONT", DS_SETFONT},
        {"DS_MODALFRAME", DS_MODALFRAME},
        {"BS_PUSHBUTTON", BS_PUSHBUTTON},
        {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
        {"SS_LEFT", SS_LEFT},
        {"SS_CENTER", SS_CENTER},
        {"IDOK", static_cast<DWORD>(IDOK)},
        {"IDCANCEL", static_cast<DWORD>(IDCANCEL)},
    };
    ScratchDir dir;
    std::string script = "#include <winresrc.h>\n";
    for (const auto& [name, value] : constants)
        script += std::string(name) + "\n";
    rc::Preprocessor preprocessor({VELORIN_RC_SYSTEM_INCLUDE});
    const std::vector<rc::Token> tokens = preprocessor.run(dir.write("main.rc", script));
    ASSERT_EQ(tokens.size(), std::size(constants) + 1);  // and the End token
    for (std::size_t i = 0; i < std::size(constants); ++i) {
        EXPECT_EQ(tokens[i].kind, rc::TokenKind::Number) << constants[i].first;
        EXPECT_EQ(tokens[i].number, constants[i].second) << constants[i].first;
    }
}

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RcCompiler, CommandLineWritesResAndDependenciesOrFailsLeavingNothing)
{
    ScratchDir dir;
    DibSpec layout;
    dir.write("a.bmp", bmpFile(makeDib(layout)));
    const auto script = dir.write("main.rc", "#include <winresrc.h>\n130 BITMAP \"a.bmp\"\n");
    const auto out = dir.path() / "out.res";
    const auto dep = dir.path() / "out.res.d";
    const std::string rc = std::string(VELORIN_RC_EXE) + " -I " + VELORIN_RC_SYSTEM_INCLUDE;
    ASSERT_EQ(run(rc + " --depfile " + dep.string() + " -o " + out.string() + " " + script.string()), 0);
    const std::string res = readText(out);
    const Bytes expected = rc::compile(script, rc::CompileOptions{{VELORIN_RC_SYSTEM_INCLUDE}}).res;
    EXPECT_EQ(Bytes(res.begin(), res.end()), expected);
    const std::string deps = readText(dep);
    EXPECT_THAT(deps, HasSubstr(out.string() + ":"));
    EXPECT_THAT(deps, HasSubstr("winresrc.h"));
    EXPECT_THAT(deps, HasSubstr((dir.path() / "a.bmp").string()));

    const auto bad = dir.write("bad.rc", "130 BITMAP \"a.bmp\"\n131 BITMAP \"none.bmp\"\n");
    const auto badOut = dir.path() / "bad.res";
    const auto err = dir.path() / "err.txt";
    EXPECT_EQ(run(rc + " -o " + badOut.string() + " " + bad.string() + " 2>" + err.string()), 1);
    EXPECT_EQ(readText(err), bad.string() + ":2: cannot find bitmap file none.bmp\n");
    EXPECT_FALSE(std::filesystem::exists(badOut));
    EXPECT_FALSE(std::filesystem::exists(badOut.string() + ".tmp"));
    EXPECT_EQ(run(rc + " 2>" + err.string()), 2);
}

}  // namespace
}  // namespace velorin::test
