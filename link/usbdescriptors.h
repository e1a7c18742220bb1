#pragma once
// Readers of the descriptors by which a USB device tells the host which
// device-interface class it belongs to: the Microsoft OS 2.0 descriptor set
// (announced by a platform capability of the BOS descriptor) and the older
// Microsoft OS 1.0 string and extended-properties descriptors.
//
// Pure functions over raw bytes; every length field is checked against the
// bytes actually given, and a descriptor whose lengths do not add up declares
// nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace usbdescriptors {

// The instrument's device-interface class, as a registry property spells it.
constexpr const char kInstrumentInterfaceGuid[] = "{DEE824EF-729B-4A0E-9C14-B7117D33A817}";

// Standard and vendor requests that fetch these descriptors.
constexpr std::uint8_t kDescriptorTypeString = 0x03;
constexpr std::uint8_t kDescriptorTypeBos = 0x0F;
constexpr std::uint8_t kMsOs10StringIndex = 0xEE;
constexpr std::uint16_t kMsOs10StringLength = 0x12;
constexpr std::uint16_t kMsOs10ExtendedPropertiesIndex = 0x0005;
constexpr std::uint16_t kMsOs10ExtendedPropertiesHeaderSize = 10;
constexpr std::uint16_t kMsOs20DescriptorIndex = 0x0007;
constexpr std::uint16_t kBosHeaderSize = 5;

// What the BOS descriptor says about the MS OS 2.0 descriptor set.
struct MsOs20Location {
    std::uint8_t vendorCode = 0;
    std::uint16_t setLength = 0;
};

// The first MS OS 2.0 platform capability of a BOS descriptor, if any.
std::optional<MsOs20Location> parseBos(const std::uint8_t* data, std::size_t size);
// wTotalLength of a BOS descriptor header, to fetch the whole descriptor.
std::optional<std::uint16_t> bosTotalLength(const std::uint8_t* data, std::size_t size);

// One device-interface GUID declared for an interface (or for the whole
// device, which then counts as interface 0).
struct GuidDeclaration {
    int interfaceNumber = 0;
    std::string guid;
};

// The device-interface GUIDs an MS OS 2.0 descriptor set declares; empty when
// none or when the set is malformed.
std::vector<GuidDeclaration> parseMsOs20Set(const std::uint8_t* data, std::size_t size);

// The vendor code of an MS OS 1.0 string descriptor ("MSFT100"), if it is one.
std::optional<std::uint8_t> parseMsOs10String(const std::uint8_t* data, std::size_t size);
// dwLength of an extended-properties descriptor header, to fetch the whole descriptor.
std::optional<std::uint32_t> extendedPropertiesLength(const std::uint8_t* data, std::size_t size);
// The device-interface GUIDs an extended-properties descriptor declares; empty
// when none or when the descriptor is malformed.
std::vector<std::string> parseExtendedProperties(const std::uint8_t* data, std::size_t size);

// The fields of a GUID written as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
struct GuidFields {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
};
std::optional<GuidFields> parseGuid(const std::string& text);

// Whether text names the instrument's class (letter case does not matter).
bool isInstrumentGuid(const std::string& text);
// The interface that declares the instrument's class, if any does.
std::optional<int> instrumentInterface(const std::vector<GuidDeclaration>& declarations);

}  // namespace usbdescriptors
