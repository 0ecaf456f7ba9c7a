#include "host/emulated/version_block.h"

#include <charconv>
#include <cstring>

#include "host/common/utf16.h"
#include "host/text.h"

namespace host::emulated {

using common::Utf16LeToUtf8;
using common::Utf8ToUtf16Le;

namespace {

constexpr std::string_view kRootKey = "VS_VERSION_INFO";
constexpr std::size_t kHeaderBytes = 6;  // wLength, wValueLength, wType

std::size_t AlignUp(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// ---- Writing ----

struct Node {
    std::string Key;
    bool Text = true;
    std::string Value;  // bytes as stored (UTF-16LE with its NUL for text)
    std::vector<Node> Children;
};

void Put16(std::vector<BYTE>* out, std::size_t at, std::size_t value) {
    (*out)[at] = static_cast<BYTE>(value & 0xFF);
    (*out)[at + 1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

void Append(std::vector<BYTE>* out, const std::string& bytes) { out->insert(out->end(), bytes.begin(), bytes.end()); }

void Pad(std::vector<BYTE>* out) { out->resize(AlignUp(out->size()), 0); }

void Write(const Node& node, std::vector<BYTE>* out) {
    const std::size_t start = out->size();
    out->resize(start + kHeaderBytes, 0);
    Append(out, Utf8ToUtf16Le(node.Key) + std::string(2, '\0'));
    Pad(out);
    Append(out, node.Value);
    for (const Node& child : node.Children) {
        Pad(out);
        Write(child, out);
    }
    Put16(out, start, out->size() - start);
    Put16(out, start + 2, node.Text ? node.Value.size() / 2 : node.Value.size());
    Put16(out, start + 4, node.Text ? 1 : 0);
}

std::string Bytes(const void* data, std::size_t size) { return {static_cast<const char*>(data), size}; }

DWORD High(const VersionNumbers& v) { return DWORD{v[0]} << 16 | v[1]; }
DWORD Low(const VersionNumbers& v) { return DWORD{v[2]} << 16 | v[3]; }

// ---- Reading ----

struct NodeView {
    std::size_t End = 0;  // start + wLength
    std::string Key;      // UTF-8
    bool Text = false;
    std::size_t ValueStart = 0;
    std::size_t ValueSize = 0;  // bytes
    std::size_t ChildrenStart = 0;
};

WORD Read16(const BYTE* block, std::size_t at) { return static_cast<WORD>(block[at] | block[at + 1] << 8); }

// The node at start, which must end by limit.
bool ParseNode(const BYTE* block, std::size_t start, std::size_t limit, NodeView* node) {
    if (start > limit || limit - start < kHeaderBytes) return false;
    const std::size_t length = Read16(block, start);
    if (length < kHeaderBytes || length > limit - start) return false;
    node->End = start + length;
    const WORD valueLength = Read16(block, start + 2);
    node->Text = Read16(block, start + 4) == 1;
    std::size_t keyEnd = start + kHeaderBytes;
    while (keyEnd + 1 < node->End && Read16(block, keyEnd) != 0) keyEnd += 2;
    if (keyEnd + 1 >= node->End) return false;  // the key has no terminator
    node->Key = Utf16LeToUtf8(Bytes(block + start + kHeaderBytes, keyEnd - start - kHeaderBytes));
    node->ValueStart = std::min(AlignUp(keyEnd + 2), node->End);
    // A value longer than its node is cut at the node's end.
    node->ValueSize = std::min<std::size_t>(node->Text ? valueLength * std::size_t{2} : valueLength,
                                            node->End - node->ValueStart);
    node->ChildrenStart = AlignUp(node->ValueStart + node->ValueSize);
    return true;
}

bool FindChild(const BYTE* block, const NodeView& parent, std::string_view name, NodeView* found) {
    const std::string wanted = FoldCase(name);
    std::size_t offset = parent.ChildrenStart;
    NodeView child;
    while (offset < parent.End && ParseNode(block, offset, parent.End, &child)) {
        if (FoldCase(child.Key) == wanted) {
            *found = std::move(child);
            return true;
        }
        offset = AlignUp(child.End);  // wLength >= 6, so this always moves on
    }
    return false;
}

}  // namespace

bool ParseVersionNumbers(std::string_view text, VersionNumbers* numbers) {
    VersionNumbers parsed{};
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end == text.data() || value > 0xFFFF) return false;
        parsed[i] = static_cast<WORD>(value);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        if (text.empty()) {
            *numbers = parsed;
            return true;
        }
        if (text.front() != '.') return false;
        text.remove_prefix(1);
    }
    return false;
}

std::vector<BYTE> BuildVersionBlock(const VersionBlockFields& fields) {
    FixedFileInfo fixed{};
    fixed.Signature = kFixedFileInfoSignature;
    fixed.StrucVersion = 0x00010000;
    fixed.FileVersionMS = High(fields.FileVersion);
    fixed.FileVersionLS = Low(fields.FileVersion);
    fixed.ProductVersionMS = High(fields.ProductVersion);
    fixed.ProductVersionLS = Low(fields.ProductVersion);
    fixed.FileFlagsMask = 0x3F;
    fixed.FileOS = fields.FileOS;
    fixed.FileType = fields.FileType;
    fixed.FileSubtype = fields.FileSubtype;

    Node table{"040904B0", true, {}, {}};
    for (const auto& [name, text] : fields.Strings)
        table.Children.push_back({name, true, Utf8ToUtf16Le(text) + std::string(2, '\0'), {}});
    const BYTE translation[4] = {0x09, 0x04, 0xB0, 0x04};  // U.S. English, code page 1200
    Node root{std::string(kRootKey), false, Bytes(&fixed, sizeof fixed), {}};
    root.Children.push_back({"StringFileInfo", true, {}, {std::move(table)}});
    root.Children.push_back({"VarFileInfo", true, {}, {{"Translation", false, Bytes(translation, 4), {}}}});

    std::vector<BYTE> block;
    Write(root, &block);
    return block;
}

bool FindVersionValue(const BYTE* block, std::size_t blockSize, std::string_view subBlock, VersionValue* value) {
    NodeView node;
    if (!block || !ParseNode(block, 0, blockSize, &node) || node.Key != kRootKey) return false;
    while (!subBlock.empty()) {
        std::size_t end = subBlock.find('\\');
        std::string_view name = subBlock.substr(0, end);
        subBlock.remove_prefix(end == std::string_view::npos ? subBlock.size() : end + 1);
        if (name.empty()) continue;
        if (!FindChild(block, node, name, &node)) return false;
    }
    value->Data = block + node.ValueStart;
    value->Size = node.ValueSize;
    value->Text = node.Text;
    return true;
}

bool LocateVersionBlock(std::string_view bytes, std::size_t* offset, std::size_t* length) {
    const std::string key = Utf8ToUtf16Le(kRootKey) + std::string(2, '\0');
    for (std::size_t at = bytes.find(key); at != std::string_view::npos; at = bytes.find(key, at + 1)) {
        if (at < kHeaderBytes) continue;
        const std::size_t start = at - kHeaderBytes;
        const auto* block = reinterpret_cast<const BYTE*>(bytes.data() + start);
        NodeView root;
        if (!ParseNode(block, 0, bytes.size() - start, &root)) continue;
        *offset = start;
        *length = root.End;
        return true;
    }
    return false;
}

}  // namespace host::emulated
