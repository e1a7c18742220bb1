#pragma once
// Byte builders for the descriptors an instrument presents to the host, laid
// out field by field as the published Microsoft OS descriptor layouts give them.
// Every builder fills in its own length fields; tests overwrite them to lie.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace usbfixtures {

using Bytes = std::vector<std::uint8_t>;

const std::string kInstrumentGuid = "{DEE824EF-729B-4A0E-9C14-B7117D33A817}";
const std::string kOtherGuid = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";

constexpr std::array<std::uint8_t, 16> kMsOs20Uuid = {0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                                                      0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};
constexpr std::array<std::uint8_t, 16> kOtherUuid = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80,
                                                     0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0x01};
constexpr std::uint32_t kWindows81 = 0x06030000;
constexpr std::uint16_t kRegSz = 1;
constexpr std::uint16_t kRegBinary = 3;
constexpr std::uint16_t kRegMultiSz = 7;

inline void put16(Bytes& b, std::uint32_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void set16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
inline void set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    set16(b, at, v & 0xFFFF);
    set16(b, at + 2, v >> 16);
}
inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// UTF-16LE without terminator.
inline Bytes utf16(const std::string& text)
{
    Bytes b;
    for (unsigned char c : text) put16(b, c);
    return b;
}
inline Bytes utf16z(const std::string& text) { return utf16(text) + Bytes{0, 0}; }
inline Bytes multiSz(const std::vector<std::string>& strings)
{
    Bytes b;
    for (const std::string& s : strings) b = b + utf16z(s);
    return b + Bytes{0, 0};
}

// ---- MS OS 2.0 -------------------------------------------------------------

inline Bytes registryProperty(std::uint16_t dataType, const std::string& name, const Bytes& value)
{
    const Bytes nameBytes = utf16z(name);
    Bytes b;
    put16(b, 0);
    put16(b, 0x0004);
    put16(b, dataType);
    put16(b, std::uint32_t(nameBytes.size()));
    b = b + nameBytes;
    put16(b, std::uint32_t(value.size()));
    b = b + value;
    set16(b, 0, std::uint32_t(b.size()));
    return b;
}
inline Bytes guidsProperty(const std::vector<std::string>& guids)
{
    return registryProperty(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz(guids));
}
inline Bytes compatibleIdFeature()
{
    Bytes b;
    put16(b, 20);
    put16(b, 0x0003);
    for (char c : std::string("WINUSB\0\0", 8)) b.push_back(std::uint8_t(c));
    return b + Bytes(8, 0);
}
inline Bytes functionSubset(std::uint8_t firstInterface, const Bytes& features)
{
    Bytes b;
    put16(b, 8);
    put16(b, 0x0002);
    b.push_back(firstInterface);
    b.push_back(0);
    put16(b, std::uint32_t(8 + features.size()));
    return b + features;
}
inline Bytes configurationSubset(const Bytes& contents)
{
    Bytes b;
    put16(b, 8);
    put16(b, 0x0001);
    b.push_back(0);
    b.push_back(0);
    put16(b, std::uint32_t(8 + contents.size()));
    return b + contents;
}
inline Bytes descriptorSet(const Bytes& contents)
{
    Bytes b;
    put16(b, 10);
    put16(b, 0x0000);
    put32(b, kWindows81);
    put16(b, std::uint32_t(10 + contents.size()));
    return b + contents;
}

// ---- BOS -------------------------------------------------------------------

inline Bytes platformCapability(const std::array<std::uint8_t, 16>& uuid, std::uint8_t vendorCode,
                                std::uint16_t setLength)
{
    Bytes b{28, 0x10, 0x05, 0x00};
    for (const std::uint8_t byte : uuid) b.push_back(byte);
    put32(b, kWindows81);
    put16(b, setLength);
    b.push_back(vendorCode);
    b.push_back(0);  // no alternate enumeration
    return b;
}
inline Bytes usb2ExtensionCapability() { return {7, 0x10, 0x02, 0x02, 0x00, 0x00, 0x00}; }
inline Bytes bos(const std::vector<Bytes>& capabilities)
{
    Bytes b{5, 0x0F, 0, 0, std::uint8_t(capabilities.size())};
    for (const Bytes& c : capabilities) b = b + c;
    set16(b, 2, std::uint32_t(b.size()));
    return b;
}

// ---- MS OS 1.0 -------------------------------------------------------------

inline Bytes msOs10String(const std::string& signature, std::uint8_t vendorCode)
{
    Bytes b{0x12, 0x03};
    b = b + utf16(signature);
    b.push_back(vendorCode);
    b.push_back(0);
    return b;
}
inline Bytes extendedSection(std::uint32_t dataType, const std::string& name, const Bytes& value)
{
    const Bytes nameBytes = utf16z(name);
    Bytes b;
    put32(b, 0);
    put32(b, dataType);
    put16(b, std::uint32_t(nameBytes.size()));
    b = b + nameBytes;
    put32(b, std::uint32_t(value.size()));
    b = b + value;
    set32(b, 0, std::uint32_t(b.size()));
    return b;
}
inline Bytes extendedProperties(const std::vector<Bytes>& sections)
{
    Bytes b;
    put32(b, 0);
    put16(b, 0x0100);
    put16(b, 0x0005);
    put16(b, std::uint32_t(sections.size()));
    for (const Bytes& s : sections) b = b + s;
    set32(b, 0, std::uint32_t(b.size()));
    return b;
}

}  // namespace usbfixtures
