#pragma once

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

// The host's growable array. A thin layer over std::vector with the host's names;
// the growth step is accepted for compatibility and left to the vector.
template <class T>
class AcArray {
public:
    AcArray() = default;
    explicit AcArray(int physicalLength, int growLength = 8) {
        (void)growLength;
        m_items.reserve(static_cast<std::size_t>(std::max(physicalLength, 0)));
    }
    AcArray(std::initializer_list<T> items) : m_items(items) {}

    int length() const { return static_cast<int>(m_items.size()); }
    int logicalLength() const { return length(); }
    bool isEmpty() const { return m_items.empty(); }
    AcArray& append(const T& item) {
        m_items.push_back(item);
        return *this;
    }
    AcArray& append(T&& item) {
        m_items.push_back(std::move(item));
        return *this;
    }
    AcArray& append(const AcArray& other) {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return *this;
    }
    AcArray& setLogicalLength(int n) {
        m_items.resize(static_cast<std::size_t>(std::max(n, 0)));
        return *this;
    }
    AcArray& removeAll() {
        m_items.clear();
        return *this;
    }
    AcArray& removeAt(int i) {
        m_items.erase(m_items.begin() + i);
        return *this;
    }
    bool contains(const T& item) const { return std::find(m_items.begin(), m_items.end(), item) != m_items.end(); }
    const T& at(int i) const { return m_items.at(static_cast<std::size_t>(i)); }
    T& at(int i) { return m_items.at(static_cast<std::size_t>(i)); }
    const T& operator[](int i) const { return m_items[static_cast<std::size_t>(i)]; }
    T& operator[](int i) { return m_items[static_cast<std::size_t>(i)]; }
    const T* asArrayPtr() const { return m_items.data(); }
    T* asArrayPtr() { return m_items.data(); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    std::vector<T>& vector() { return m_items; }
    const std::vector<T>& vector() const { return m_items; }
    bool operator==(const AcArray&) const = default;

private:
    std::vector<T> m_items;
};
