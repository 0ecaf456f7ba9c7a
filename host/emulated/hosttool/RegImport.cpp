// "reg import": the whole file is read and checked first (against the same
// rules the registry enforces); only a file without a bad line is applied, in
// one transaction, so the registry ends with all of it or none of it.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/RegText.h"
#include "host/emulated/hosttool/RegistryWalk.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"
#include "host/registry_scope.h"

namespace hosttool {
namespace {

// A registry file is text of a few kilobytes; this leaves room for any real one.
constexpr std::size_t kMaxRegText = 16u << 20;
constexpr std::size_t kReadChunk = 64u << 10;

// The whole input, read a chunk at a time and refused as soon as it cannot be a
// registry file (no header, a NUL byte) or grows past kMaxRegText, so an
// endless or binary input ends at once.
std::string ReadRegText(std::istream& in, const std::string& shownFile) {
    std::string text;
    bool headerSeen = false;
    for (std::size_t got = 1; got > 0;) {
        const std::size_t before = text.size();
        text.resize(before + kReadChunk);
        in.read(text.data() + before, static_cast<std::streamsize>(kReadChunk));
        got = static_cast<std::size_t>(in.gcount());
        text.resize(before + got);
        if (in.bad()) throw ToolError("cannot read " + shownFile);
        if (text.size() > kMaxRegText)
            throw ToolError(shownFile + ": larger than " + std::to_string(kMaxRegText >> 20) +
                            " MiB; not a registry file");
        if (!headerSeen) {
            const RegStart start = ClassifyRegStart(text);
            if (start == RegStart::No) ParseRegText(text);  // throws, saying why
            headerSeen = start == RegStart::Yes;
        }
        if (const std::size_t nul = text.find('\0', before); headerSeen && nul != std::string::npos)
            throw RegTextError(static_cast<int>(std::count(text.begin(), text.begin() + nul, '\n')) + 1,
                               "a NUL byte; not a registry file");
    }
    return text;
}

std::string ReadAll(const std::string& fileName, const std::string& shownFile) {
    if (fileName == "-") return ReadRegText(std::cin, shownFile);
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw ToolError("cannot read " + fileName + ": " + std::strerror(errno));
    return ReadRegText(in, shownFile);
}

void Apply(const std::vector<RegOperation>& ops, const std::string& shownFile) {
    auto fail = [&](const RegOperation& op, const std::string& what, host::LONG status) {
        CheckRegistryProblem();  // a damaged database says more than a status code
        throw ToolError(shownFile + ":" + std::to_string(op.Line) + ": " + what + ": " + RegistryStatusText(status) +
                        "; nothing was imported");
    };
    // A saved registry may be brought into a root that holds none yet.
    host::emulated::CreateMissingRegistry(true);
    host::RegistryTransaction batch;
    if (host::LONG status = batch.Status()) {
        CheckRegistryProblem();
        throw ToolError("cannot import " + shownFile + ": " + RegistryStatusText(status) + "; nothing was imported");
    }
    OpenKey current;
    for (const RegOperation& op : ops) {
        host::LONG status = host::kErrorSuccess;
        switch (op.Op) {
        case RegOperation::Kind::CreateKey:
            status = current.Create(op.KeyPath);
            if (status != host::kErrorSuccess) fail(op, "could not create the key", status);
            break;
        case RegOperation::Kind::DeleteKeyTree:
            status = DeleteKeyTree(op.KeyPath);
            if (status != host::kErrorSuccess) fail(op, "could not delete the key", status);
            break;
        case RegOperation::Kind::SetValue:
            status = host::SetRegValue(current.Get(), op.ValueName.c_str(), op.Type, op.Data.data(),
                                         static_cast<host::DWORD>(op.Data.size()));
            if (status != host::kErrorSuccess) fail(op, "could not set the value", status);
            break;
        case RegOperation::Kind::DeleteValue:
            status = host::DeleteRegValue(current.Get(), op.ValueName.c_str());
            if (status != host::kErrorSuccess && status != host::kErrorFileNotFound)
                fail(op, "could not delete the value", status);
            break;
        }
    }
    if (host::LONG status = batch.Commit()) {
        CheckRegistryProblem();
        throw ToolError("cannot import " + shownFile + ": " + RegistryStatusText(status) + "; nothing was imported");
    }
}

}  // namespace

void ImportRegistry(const std::string& fileName) {
    const std::string shownFile = fileName == "-" ? "stdin" : fileName;
    std::vector<RegOperation> ops;
    try {
        ops = ParseRegText(ReadAll(fileName, shownFile));
    } catch (const RegTextError& e) {
        throw ToolError(shownFile + ":" + std::to_string(e.Line()) + ": " + e.what());
    }

    std::error_code ec;
    if (!std::filesystem::is_directory(host::emulated::HostRoot(), ec))
        throw ToolError("no host root at " + host::emulated::HostRoot().string() +
                        " (run \"v7-host init\" or set V7_HOST_ROOT)");
    Apply(ops, shownFile);
    host::FlushRegKey(host::kLocalMachine);
    CheckRegistryProblem();
}

}  // namespace hosttool
