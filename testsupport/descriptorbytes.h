#pragma once
// Builders of the descriptors by which a USB device tells the host which
// device-interface class it belongs to, laid out field by field as the
// published descriptor layouts give them. Each builder fills in its own length
// fields; tests overwrite them (with16) to make a descriptor lie.

#include <cstdint>
#include <string>
#include <vector>

namespace usbemu {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kRegSz = 1;
constexpr std::uint16_t kRegMultiSz = 7;

inline Bytes le16(std::size_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
inline Bytes le32(std::size_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}
inline Bytes concat(const std::vector<Bytes>& parts)
{
    Bytes b;
    for (const Bytes& part : parts)
        b.insert(b.end(), part.begin(), part.end());
    return b;
}
inline Bytes with16(Bytes b, std::size_t at, std::size_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
    return b;
}
inline Bytes utf16(const std::string& text)
{
    Bytes b;
    for (unsigned char c : text)
        b = concat({b, le16(c)});
    return b;
}
inline Bytes utf16z(const std::string& text) { return utf16(text + '\0'); }
// REG_MULTI_SZ: every string with its NUL, then one more NUL.
inline Bytes multiSz(const std::vector<std::string>& strings)
{
    std::string joined;
    for (const std::string& s : strings)
        joined += s + '\0';
    return utf16z(joined);
}

// MS OS 2.0: a registry-property feature, the subsets around it, the set.
inline Bytes registryProperty(std::uint16_t dataType, const std::string& name, const Bytes& value)
{
    const Bytes n = utf16z(name);
    return concat({le16(10 + n.size() + value.size()), le16(4), le16(dataType), le16(n.size()), n, le16(value.size()),
                   value});
}
inline Bytes guidsProperty(const std::vector<std::string>& guids)
{
    return registryProperty(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz(guids));
}
// A header whose last field is the length of header and contents together.
inline Bytes withTotal(const Bytes& header, const Bytes& body)
{
    return concat({header, le16(header.size() + 2 + body.size()), body});
}
inline Bytes descriptorSet(const Bytes& body) { return withTotal({10, 0, 0, 0, 0x00, 0x00, 0x03, 0x06}, body); }  // Windows 8.1
inline Bytes configurationSubset(const Bytes& body) { return withTotal({8, 0, 1, 0, 0, 0}, body); }
inline Bytes functionSubset(std::uint8_t interface, const Bytes& body) { return withTotal({8, 0, 2, 0, interface, 0}, body); }

// BOS: a USB 2.0 extension, platform capabilities (MS OS 2.0 or another).
inline const Bytes kUsb2Extension{7, 0x10, 0x02, 0x02, 0x00, 0x00, 0x00};
inline const Bytes kMsOs20Uuid{0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                               0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};
// For Windows 8.1, a set of setLength bytes, fetched with the vendor code.
inline Bytes platformCapability(bool msOs20, std::uint8_t vendorCode, std::uint16_t setLength = 0xB2)
{
    const Bytes uuid = msOs20 ? kMsOs20Uuid : Bytes(16, 0x42);
    return concat({{28, 0x10, 0x05, 0x00}, uuid, {0, 0, 3, 6}, le16(setLength), {vendorCode, 0}});
}
inline Bytes bos(const std::vector<Bytes>& capabilities)
{
    const Bytes all = concat(capabilities);
    return concat({{5, 0x0F}, le16(5 + all.size()), {std::uint8_t(capabilities.size())}, all});
}

// MS OS 1.0: the string descriptor, and extended properties with sections.
inline Bytes msOs10String(const std::string& signature, std::uint8_t code)
{
    return concat({{18, 3}, utf16(signature), {code, 0}});
}
inline Bytes extendedSection(std::uint32_t dataType, const std::string& name, const Bytes& value)
{
    const Bytes n = utf16z(name);
    return concat({le32(14 + n.size() + value.size()), le32(dataType), le16(n.size()), n, le32(value.size()), value});
}
inline Bytes extendedProperties(const std::vector<Bytes>& sections)
{
    const Bytes all = concat(sections);
    return concat({le32(10 + all.size()), le16(0x0100), le16(5), le16(sections.size()), all});
}

}  // namespace usbemu
