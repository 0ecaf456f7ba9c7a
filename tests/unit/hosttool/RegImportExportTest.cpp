// "v7-host reg export" and "reg import": exact round trips, the text forms and
// deletions (bad files: RegImportSafetyTest).
#include <gtest/gtest.h>

#include <fstream>

#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

namespace fs = std::filesystem;
using namespace regtest;
using namespace std::string_literals;

namespace {

// Values that need care: quotes, backslashes, UTF-8, empty, no terminator,
// embedded NUL and line breaks, binary long enough to wrap, other types; names
// at the registry's limits and names full of the text form's own signs.
const std::string kSigns = "Software\\]bracket;semi\"quote -dash @at a=b  ";
struct Awkward {
    std::string Key, Name;
    host::DWORD Type;
    std::string Data;
} const kAwkward[] = {
    {"Software\\" + std::string(255, 'k'), std::string(16383, 'v'), host::kRegDword, "\1\0\0\0"s},
    {Levels(512), "", host::kRegSz, "deepest\0"s},
    {kSigns, "=[x]; \" \\ ", host::kRegSz, "x\0"s},
    {kSigns, "tab\there", host::kRegSz, "a\tb\0"s},
    {kSigns, "\x01" "control", host::kRegBinary, "\x01"},
    {kSigns, "@", host::kRegSz, "not the default\0"s},
    {"Software\\Tricky Key\\Ünïcode", "quote \" and \\ back", host::kRegSz, "say \"hi\" C:\\dir\\\0"s},
    {"Software\\Tricky Key\\Ünïcode", "", host::kRegSz, "default value\0"s},
    {"Software\\Tricky Key", "utf8", host::kRegSz, "Åsa Öberg – 東京\0"s},
    {"Software\\Tricky Key", "empty", host::kRegSz, "\0"s},
    {"Software\\Tricky Key", "no terminator", host::kRegSz, "Station1"},
    {"Software\\Tricky Key", "nothing at all", host::kRegSz, ""},
    {"Software\\Tricky Key", "inner nul", host::kRegSz, "a\0b\0"s},
    {"Software\\Tricky Key", "line break", host::kRegSz, "one\r\ntwo\0"s},
    {"Software\\Tricky Key", "bad utf8", host::kRegSz, "\xC3(\0"s},
    {"Software\\Tricky Key", "byte", host::kRegBinary, std::string(1, '\x7F')},
    {"Software\\Tricky Key", "long binary", host::kRegBinary, std::string(200, '\xA5')},
    {"Software\\Tricky Key", "empty binary", host::kRegBinary, ""},
    {"Software\\Tricky Key", "dword", host::kRegDword, "\x2A\0\0\x80"s},
    {"Software\\Tricky Key", "short dword", host::kRegDword, "\x01\x02"s},
    {"Software\\Tricky Key", "multi", 7, "a\0b\0\0"s},
    {"Software\\Tricky Key", "none", host::kRegNone, ""},
    {"Software\\Tricky Key\\Modes\\640,480", "Mode", host::kRegSz, "8,640,480\0"s},
};

TEST(RegRoundTrip, AwkwardValuesComeBackByteForByteAndReadable) {
    std::string first;
    {
        TempHostRoot source;
        for (const Awkward& v : kAwkward) Store(v.Key, v.Name.c_str(), v.Type, Bytes(v.Data));
        Store("Software\\Empty Key\\Leaf", "x", host::kRegBinary, {});
        first = Export();
        ASSERT_EQ(first.rfind("REGEDIT4\n\n", 0), 0u) << first;
        const std::string tricky = Export("HKLM\\software\\TRICKY KEY");
        for (const char* line : {
                 "[HKEY_LOCAL_MACHINE\\Software\\Tricky Key]\n",  // the stored spelling
                 "\"empty\"=\"\"\n",
                 "\"utf8\"=\"Åsa Öberg – 東京\"\n",
                 "\"no terminator\"=hex(1):53,74,61,74,69,6f,6e,31\n",
                 "\"nothing at all\"=hex(1):\n",
                 "\"byte\"=hex:7f\n",
                 "\"dword\"=dword:8000002a\n",
                 "\"short dword\"=hex(4):01,02\n",
                 "\"multi\"=hex(7):61,00,62,00,00\n",
                 "[HKEY_LOCAL_MACHINE\\Software\\Tricky Key\\Ünïcode]\n"
                 "\"quote \\\" and \\\\ back\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\n"
                 "@=\"default value\"\n",
             })
            EXPECT_NE(tricky.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << tricky;
        // Long binary data goes on over lines ending in a backslash, none too long.
        EXPECT_NE(tricky.find("\"long binary\"=hex:a5,a5,"), std::string::npos);
        for (std::size_t start = 0, end; (end = tricky.find('\n', start)) != std::string::npos; start = end + 1)
            EXPECT_LE(end - start, 80u) << tricky.substr(start, end - start);
    }
    TempHostRoot target;  // empty: the import sets up the registry
    ToolResult imported = Import(first);
    ASSERT_EQ(imported.ExitCode, 0) << imported.Err;
    EXPECT_EQ(Export(), first);
    for (const Awkward& v : kAwkward)
        EXPECT_EQ(Query(v.Key, v.Name.c_str()), Value(v.Type, v.Data)) << v.Name.substr(0, 40);
}

TEST(RegImport, ReadsTheWrittenVariantsAndDeletesKeyTreesAndValues) {
    InitializedHostRoot root;
    // Version 5 header, CR LF ends, comments, the HKLM short form, blanks, a
    // continued hex value, deletions and the text of a file rather than stdin.
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; set up by hand\r\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Halvorn\\Orvane\\Setup]\r\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Not There]\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Halvorn\\Orvane]\r\n"
        "\"Shutdown Enabled\"=-\r\n"
        "\"Never Stored\"=-\r\n"
        "[HKLM\\Software\\Hand]\r\n"
        "\"a\" = \"x\"\r\n"
        "\"b\"=hex:01,02,\\\r\n"
        "  03,04\r\n"
        "\"c\"=DWORD:2a\r\n"
        "\"d\"=hex(0):\r\n";
    fs::path file = root.Path() / "hand.reg";
    std::ofstream(file, std::ios::binary) << text;
    ToolResult r = RunHostTool({"reg", "import", file.string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(Query("Software\\Hand", "a"), Value(host::kRegSz, "x\0"s));
    EXPECT_EQ(Query("Software\\Hand", "b"), Value(host::kRegBinary, "\x01\x02\x03\x04"));
    EXPECT_EQ(Query("Software\\Hand", "c"), Value(host::kRegDword, "\x2a\0\0\0"s));
    EXPECT_EQ(Query("Software\\Hand", "d"), Value(host::kRegNone, ""));
    EXPECT_EQ(Query("Software\\Halvorn\\Orvane", "Shutdown Enabled").Status, host::kErrorFileNotFound);
    EXPECT_EQ(Query("Software\\Halvorn\\Orvane", "Shutdown Default"), Value(host::kRegBinary, "\1"));
    EXPECT_FALSE(KeyExists("Software\\Halvorn\\Orvane\\Setup"));
    EXPECT_TRUE(KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\Anna"));
}

}  // namespace
