// The REGEDIT4 reader: any input either fails with a line number or gives
// steps that, written out again and read back, give the very same steps
// (what an import accepts, an export writes and a later import reads alike);
// the import's check of a file's start never refuses what the reader accepts.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "host/emulated/hosttool/RegText.h"

using hosttool::RegOperation;

namespace {

std::string Format(const std::vector<RegOperation>& ops) {
    std::string text = "REGEDIT4\n\n";
    for (const RegOperation& op : ops) {
        switch (op.Op) {
        case RegOperation::Kind::CreateKey:
            text += hosttool::FormatSection(op.KeyPath) + "\n";
            break;
        case RegOperation::Kind::DeleteKeyTree:
            text += "[-" + hosttool::FormatSection(op.KeyPath).substr(1) + "\n";
            break;
        case RegOperation::Kind::SetValue:
            text += hosttool::FormatValue(op.ValueName, op.Type, op.Data) + "\n";
            break;
        case RegOperation::Kind::DeleteValue:
            // The writer's quoting, with the data replaced by the deletion mark.
            std::string line = hosttool::FormatValue(op.ValueName, hosttool::RegOperation{}.Type, {});
            text += line.substr(0, line.rfind('=') + 1) + "-\n";
            break;
        }
    }
    return text;
}

bool Same(const RegOperation& a, const RegOperation& b) {
    return a.Op == b.Op && a.KeyPath == b.KeyPath && a.ValueName == b.ValueName && a.Type == b.Type &&
           a.Data == b.Data;
}

[[noreturn]] void Mismatch(const char* what, const std::string& again) {
    std::fprintf(stderr, "round trip broke: %s\n--- written ---\n%s\n", what, again.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<RegOperation> ops;
    try {
        ops = hosttool::ParseRegText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const hosttool::RegTextError& e) {
        if (e.Line() < 1) std::abort();  // every refusal names a line
        return 0;
    }
    // The import's early look at the first bytes never turns away a file the
    // reader accepts, however little of it has come.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::size_t part : {size, size / 2, size / 7})
        if (hosttool::ClassifyRegStart(text.substr(0, part)) == hosttool::RegStart::No) std::abort();
    std::string again;
    try {
        again = Format(ops);
    } catch (const std::exception& e) {
        Mismatch(e.what(), again);  // accepted but cannot be written back
    }
    std::vector<RegOperation> reread;
    try {
        reread = hosttool::ParseRegText(again);
    } catch (const hosttool::RegTextError& e) {
        Mismatch(e.what(), again);
    }
    if (reread.size() != ops.size()) Mismatch("a different number of steps", again);
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (!Same(ops[i], reread[i])) Mismatch("a step changed", again);
    return 0;
}
