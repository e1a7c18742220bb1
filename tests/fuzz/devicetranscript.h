#pragma once
// A USB device's answers to the descriptor reader, as one fuzz input: the
// device's USB version (2 bytes, little-endian), then for each request in
// turn either a stall (one byte with the top bit set) or an answer (a byte
// without it, a 2-byte little-endian length, that many bytes). Requests past
// the end of the input stall.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace transcript {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kStall = 0x80;
constexpr std::uint8_t kAnswer = 0x00;

inline Bytes encode(std::uint16_t usbVersion, const std::vector<std::optional<Bytes>>& answers)
{
    Bytes out{std::uint8_t(usbVersion), std::uint8_t(usbVersion >> 8)};
    for (const auto& answer : answers) {
        if (!answer) {
            out.push_back(kStall);
            continue;
        }
        out.insert(out.end(), {kAnswer, std::uint8_t(answer->size()), std::uint8_t(answer->size() >> 8)});
        out.insert(out.end(), answer->begin(), answer->end());
    }
    return out;
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint16_t usbVersion()
    {
        if (size_ - at_ < 2) return 0;
        at_ += 2;
        return std::uint16_t(data_[at_ - 2] | (data_[at_ - 1] << 8));
    }
    // The next answer, cut to what was asked for.
    std::optional<Bytes> next(std::size_t asked)
    {
        if (size_ - at_ < 3 || (data_[at_] & kStall)) {
            at_ = std::min(size_, at_ + 1);
            return std::nullopt;
        }
        std::size_t length = std::size_t(data_[at_ + 1] | (data_[at_ + 2] << 8));
        at_ += 3;
        length = std::min(length, size_ - at_);
        Bytes answer(data_ + at_, data_ + at_ + length);
        at_ += length;
        if (answer.size() > asked) answer.resize(asked);
        return answer;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace transcript
