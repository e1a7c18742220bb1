#include "link/usbdescriptors.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace usbdescriptors {
namespace {

// The MS OS 2.0 platform capability UUID {D8DD60DF-4589-4CC7-9CD2-659D9E648A9F}
// in the byte order it travels in.
constexpr std::array<std::uint8_t, 16> kMsOs20PlatformUuid = {
    0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
    0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};

constexpr std::uint8_t kDescriptorTypeDeviceCapability = 0x10;
constexpr std::uint8_t kCapabilityTypePlatform = 0x05;
constexpr std::size_t kPlatformUuidOffset = 4;
constexpr std::size_t kPlatformDataOffset = 20;
constexpr std::size_t kMsOs20CapabilityLength = 28;  // header, UUID, one set-information entry

// MS OS 2.0 descriptor types (wDescriptorType).
constexpr std::uint16_t kSetHeader = 0x00;
constexpr std::uint16_t kConfigurationSubset = 0x01;
constexpr std::uint16_t kFunctionSubset = 0x02;
constexpr std::uint16_t kRegistryProperty = 0x04;
constexpr std::size_t kSetHeaderLength = 10;
constexpr std::size_t kSubsetHeaderLength = 8;
constexpr std::size_t kFeatureHeaderLength = 4;

// Registry value types of a property.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr const char* kGuidPropertyNames[] = {"DeviceInterfaceGUID", "DeviceInterfaceGUIDs"};

constexpr std::size_t kExtendedSectionFixedLength = 14;  // size, type, name length, data length

// Little-endian reads; callers have checked the bounds.
std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// UTF-16LE text as 8-bit characters; anything outside ASCII becomes a byte no
// GUID or property name contains. False for an odd byte count.
bool decodeUtf16(const std::uint8_t* data, std::size_t size, std::string* text)
{
    if (size % 2 != 0) return false;
    text->clear();
    for (std::size_t i = 0; i < size; i += 2) {
        const std::uint16_t unit = le16(data + i);
        text->push_back(unit < 0x80 ? char(unit) : '\x7F');
    }
    return true;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string withoutTrailingNuls(std::string text)
{
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

bool isGuidPropertyName(const std::string& name)
{
    const std::string bare = withoutTrailingNuls(name);
    for (const char* candidate : kGuidPropertyNames)
        if (equalsIgnoringCase(bare, candidate)) return true;
    return false;
}

// The strings of a REG_SZ (up to its first NUL) or REG_MULTI_SZ value.
std::vector<std::string> registryStrings(std::uint32_t type, const std::string& value)
{
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < value.size()) {
        std::size_t end = value.find('\0', start);
        if (end == std::string::npos) end = value.size();
        if (end > start) strings.push_back(value.substr(start, end - start));
        if (type == kRegSz) break;
        start = end + 1;
    }
    return strings;
}

// The GUIDs of one registry property; false when its lengths do not add up.
bool readProperty(std::uint32_t type, const std::uint8_t* name, std::size_t nameLength,
                  const std::uint8_t* value, std::size_t valueLength, std::vector<std::string>* guids)
{
    std::string nameText, valueText;
    if (!decodeUtf16(name, nameLength, &nameText) || !decodeUtf16(value, valueLength, &valueText))
        return false;
    if ((type == kRegSz || type == kRegMultiSz) && isGuidPropertyName(nameText)) {
        for (std::string& guid : registryStrings(type, valueText)) guids->push_back(std::move(guid));
    }
    return true;
}

// MS OS 2.0 registry property feature: wLength, wDescriptorType,
// wPropertyDataType, wPropertyNameLength, name, wPropertyDataLength, data.
bool readRegistryFeature(const std::uint8_t* d, std::size_t length, int interfaceNumber,
                         std::vector<GuidDeclaration>* out)
{
    std::size_t at = kFeatureHeaderLength;
    if (length - at < 4) return false;
    const std::uint16_t type = le16(d + at);
    const std::size_t nameLength = le16(d + at + 2);
    at += 4;
    if (length - at < nameLength) return false;
    const std::uint8_t* name = d + at;
    at += nameLength;
    if (length - at < 2) return false;
    const std::size_t valueLength = le16(d + at);
    at += 2;
    if (length - at < valueLength) return false;

    std::vector<std::string> guids;
    if (!readProperty(type, name, nameLength, d + at, valueLength, &guids)) return false;
    for (std::string& guid : guids) out->push_back({interfaceNumber, std::move(guid)});
    return true;
}

enum class Level { Set, Configuration, Function };

// Walks the descriptors in [d, d + size) that belong to one level of an MS OS
// 2.0 set. False as soon as a length or a nesting is wrong.
bool walkMsOs20(const std::uint8_t* d, std::size_t size, Level level, int interfaceNumber,
                std::vector<GuidDeclaration>* out)
{
    std::size_t at = 0;
    while (at < size) {
        const std::size_t left = size - at;
        if (left < kFeatureHeaderLength) return false;
        const std::uint8_t* item = d + at;
        const std::size_t length = le16(item);
        const std::uint16_t type = le16(item + 2);
        if (length < kFeatureHeaderLength || length > left) return false;

        if (type == kSetHeader) return false;
        if (type == kConfigurationSubset || type == kFunctionSubset) {
            const bool allowed = (type == kConfigurationSubset && level == Level::Set) ||
                                 (type == kFunctionSubset && level != Level::Function);
            if (!allowed || length != kSubsetHeaderLength) return false;
            const std::size_t subsetLength = le16(item + 6);
            if (subsetLength < kSubsetHeaderLength || subsetLength > left) return false;
            const Level inner = type == kConfigurationSubset ? Level::Configuration : Level::Function;
            const int innerInterface = type == kFunctionSubset ? item[4] : interfaceNumber;
            if (!walkMsOs20(item + length, subsetLength - length, inner, innerInterface, out))
                return false;
            at += subsetLength;
            continue;
        }
        if (type == kRegistryProperty && !readRegistryFeature(item, length, interfaceNumber, out))
            return false;
        at += length;
    }
    return true;
}

// Extended-properties section: dwSize, dwPropertyDataType, wPropertyNameLength,
// name, dwPropertyDataLength, data. Returns the section size, 0 when malformed.
std::size_t readExtendedSection(const std::uint8_t* d, std::size_t left, std::vector<std::string>* guids)
{
    if (left < kExtendedSectionFixedLength) return 0;
    const std::size_t sectionSize = le32(d);
    if (sectionSize < kExtendedSectionFixedLength || sectionSize > left) return 0;
    const std::uint32_t type = le32(d + 4);
    const std::size_t nameLength = le16(d + 8);
    std::size_t at = 10;
    if (sectionSize - at < nameLength) return 0;
    const std::uint8_t* name = d + at;
    at += nameLength;
    if (sectionSize - at < 4) return 0;
    const std::size_t valueLength = le32(d + at);
    at += 4;
    if (sectionSize - at < valueLength) return 0;
    if (!readProperty(type, name, nameLength, d + at, valueLength, guids)) return 0;
    return sectionSize;
}

}  // namespace

std::optional<std::uint16_t> bosTotalLength(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < kBosHeaderSize || data[0] < kBosHeaderSize || data[1] != kDescriptorTypeBos)
        return std::nullopt;
    const std::uint16_t total = le16(data + 2);
    if (total < data[0]) return std::nullopt;
    return total;
}

std::optional<MsOs20Location> parseBos(const std::uint8_t* data, std::size_t size)
{
    const auto total = bosTotalLength(data, size);
    if (!total || *total > size) return std::nullopt;
    const int capabilityCount = data[4];
    std::size_t at = data[0];
    for (int i = 0; i < capabilityCount && at < *total; ++i) {
        const std::size_t left = *total - at;
        const std::uint8_t* cap = data + at;
        if (left < 3 || cap[0] < 3 || cap[0] > left) return std::nullopt;
        const bool isMsOs20 = cap[1] == kDescriptorTypeDeviceCapability &&
                              cap[2] == kCapabilityTypePlatform && cap[0] >= kMsOs20CapabilityLength &&
                              std::equal(kMsOs20PlatformUuid.begin(), kMsOs20PlatformUuid.end(),
                                         cap + kPlatformUuidOffset);
        if (isMsOs20) {
            const std::uint8_t* info = cap + kPlatformDataOffset;  // dwWindowsVersion first
            MsOs20Location location;
            location.setLength = le16(info + 4);
            location.vendorCode = info[6];
            if (location.setLength >= kSetHeaderLength) return location;
        }
        at += cap[0];
    }
    return std::nullopt;
}

std::vector<GuidDeclaration> parseMsOs20Set(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < kSetHeaderLength) return {};
    if (le16(data) != kSetHeaderLength || le16(data + 2) != kSetHeader) return {};
    const std::size_t total = le16(data + 8);
    if (total < kSetHeaderLength || total > size) return {};
    std::vector<GuidDeclaration> declarations;
    if (!walkMsOs20(data + kSetHeaderLength, total - kSetHeaderLength, Level::Set, 0, &declarations))
        return {};
    return declarations;
}

std::optional<std::uint8_t> parseMsOs10String(const std::uint8_t* data, std::size_t size)
{
    static constexpr char kSignature[] = "MSFT100";
    if (!data || size < kMsOs10StringLength || data[0] < kMsOs10StringLength || data[0] > size ||
        data[1] != kDescriptorTypeString)
        return std::nullopt;
    std::string signature;
    decodeUtf16(data + 2, 14, &signature);
    if (signature != kSignature) return std::nullopt;
    return data[16];
}

std::optional<std::uint32_t> extendedPropertiesLength(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < kMsOs10ExtendedPropertiesHeaderSize) return std::nullopt;
    const std::uint32_t total = le32(data);
    if (total < kMsOs10ExtendedPropertiesHeaderSize || le16(data + 6) != kMsOs10ExtendedPropertiesIndex)
        return std::nullopt;
    return total;
}

std::vector<std::string> parseExtendedProperties(const std::uint8_t* data, std::size_t size)
{
    const auto total = extendedPropertiesLength(data, size);
    if (!total || *total > size) return {};
    const int sectionCount = le16(data + 8);
    std::vector<std::string> guids;
    std::size_t at = kMsOs10ExtendedPropertiesHeaderSize;
    for (int i = 0; i < sectionCount; ++i) {
        const std::size_t used = readExtendedSection(data + at, *total - at, &guids);
        if (used == 0) return {};
        at += used;
    }
    return guids;
}

std::optional<GuidFields> parseGuid(const std::string& text)
{
    // Hex digits per group and where each group starts.
    static constexpr std::size_t kGroupStart[] = {1, 10, 15, 20, 25};
    static constexpr std::size_t kGroupDigits[] = {8, 4, 4, 4, 12};
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
    for (std::size_t dash : {9, 14, 19, 24})
        if (text[dash] != '-') return std::nullopt;
    std::uint64_t groups[5] = {};
    for (int g = 0; g < 5; ++g) {
        for (std::size_t i = 0; i < kGroupDigits[g]; ++i) {
            const char c = text[kGroupStart[g] + i];
            if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
            groups[g] = groups[g] * 16 + std::uint64_t(digit);
        }
    }
    GuidFields guid;
    guid.data1 = std::uint32_t(groups[0]);
    guid.data2 = std::uint16_t(groups[1]);
    guid.data3 = std::uint16_t(groups[2]);
    guid.data4[0] = std::uint8_t(groups[3] >> 8);
    guid.data4[1] = std::uint8_t(groups[3]);
    for (int i = 0; i < 6; ++i) guid.data4[2 + i] = std::uint8_t(groups[4] >> (8 * (5 - i)));
    return guid;
}

bool isInstrumentGuid(const std::string& text)
{
    return equalsIgnoringCase(text, kInstrumentInterfaceGuid);
}

std::optional<int> instrumentInterface(const std::vector<GuidDeclaration>& declarations)
{
    for (const GuidDeclaration& declaration : declarations)
        if (isInstrumentGuid(declaration.guid)) return declaration.interfaceNumber;
    return std::nullopt;
}

}  // namespace usbdescriptors
