// A fixed table of lower-case names with a value each, hashed into buckets by the
// sum of the name's UTF-16 units. Built at compile time from a list; entries keep
// their list order inside a bucket, which is what lets a list decide which of two
// equal names is found first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

struct NamedValue {
    std::u16string_view name;  // lower case
    std::uint32_t value;
};

template <std::size_t N, std::size_t Buckets> class HashedNameTable {
public:
    static constexpr std::size_t kBuckets = Buckets;

    explicit constexpr HashedNameTable(const std::array<NamedValue, N>& list) {
        std::array<std::size_t, Buckets + 1> count{};
        for (const NamedValue& e : list) ++count[BucketOf(e.name) + 1];
        for (std::size_t b = 0; b < Buckets; ++b) count[b + 1] += count[b];
        m_start = {};
        for (std::size_t b = 0; b <= Buckets; ++b) m_start[b] = static_cast<std::uint16_t>(count[b]);
        for (const NamedValue& e : list) m_entries[count[BucketOf(e.name)]++] = e;
    }

    static constexpr std::size_t BucketOf(std::u16string_view lowerName) {
        std::size_t sum = 0;
        for (char16_t c : lowerName) sum += c;
        return BucketOfSum(sum);
    }
    // For a caller that added up the units while it lower-cased the name.
    static constexpr std::size_t BucketOfSum(std::size_t unitSum) { return unitSum % Buckets; }

    constexpr std::span<const NamedValue> Bucket(std::size_t b) const {
        return std::span<const NamedValue>(m_entries).subspan(m_start[b], m_start[b + 1] - m_start[b]);
    }

    constexpr std::span<const NamedValue> Entries() const { return m_entries; }

private:
    std::array<NamedValue, N> m_entries{};
    std::array<std::uint16_t, Buckets + 1> m_start{};
};
