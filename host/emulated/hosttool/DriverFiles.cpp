// C:\WINDOWS\SYSTEM\*.vxd: a short executable header followed by a real
// VS_VERSIONINFO block, so the version look-up walks the Windows structure.
#include <filesystem>

#include "host/emulated/driver_catalog.h"
#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"
#include "host/emulated/version_block.h"

namespace hosttool {
namespace fs = std::filesystem;
namespace {

// "MZ" and padding to a DWORD-aligned offset for the block.
constexpr std::size_t kHeaderSize = 64;

std::string ProductName(const host::emulated::DriverInfo& driver) {
    return std::string_view(driver.Company) == "Halvorn" ? "Orvane V7" : "Operating system";
}

std::vector<host::BYTE> DriverFileBytes(const host::emulated::DriverInfo& driver) {
    using namespace host::emulated;
    VersionBlockFields fields;
    if (!ParseVersionNumbers(driver.FileVersion, &fields.FileVersion))
        throw ToolError(std::string("the catalog's version of ") + driver.FileName + " is not a version number");
    fields.ProductVersion = fields.FileVersion;
    fields.FileSubtype = driver.DeviceNumber;
    fields.Strings = {
        {"CompanyName", driver.Company},
        {"FileDescription", driver.Description},
        {"FileVersion", driver.FileVersion},
        {"InternalName", driver.Name},
        {"OriginalFilename", driver.FileName},
        {"ProductName", ProductName(driver)},
        {"ProductVersion", driver.FileVersion},
    };
    std::vector<host::BYTE> bytes(kHeaderSize, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    std::vector<host::BYTE> block = BuildVersionBlock(fields);
    bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

}  // namespace

void WriteDriverFiles() {
    fs::path system = host::emulated::DriveCPath() / "WINDOWS" / "SYSTEM";
    std::error_code ec;
    fs::create_directories(system, ec);
    if (ec) throw ToolError("could not create " + system.string() + ": " + ec.message());
    for (const auto& driver : host::emulated::kDrivers) {
        std::vector<host::BYTE> bytes = DriverFileBytes(driver);
        WriteNewFile(system / driver.FileName, std::string(bytes.begin(), bytes.end()));
    }
}

}  // namespace hosttool
