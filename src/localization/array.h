// A growable array of plain values, for the language file's line index.
#pragma once
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "support/errorstate.h"

template <typename T>
class Array {
    // Storage moves with realloc, which only plain values survive.
    static_assert(std::is_trivially_copyable<T>::value, "Array holds plain values only");

public:
    Array() = default;
    ~Array() { free(data); }
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;

    // Makes room for n more elements at the end (their values are unset). Capacity grows
    // by a quarter plus 32 so that appends cost little; running out of memory is fatal.
    void Grow(int n) {
        if (n < 0 || n > INT_MAX - count) Errors.OutOfMemory();
        int newCount = count + n;
        if (newCount > capacity) {
            int64_t wanted = (int64_t)capacity + capacity / 4 + 32;
            if (wanted < newCount) wanted = newCount;
            if (wanted > INT_MAX) wanted = INT_MAX;
            if ((uint64_t)wanted > SIZE_MAX / sizeof(T)) Errors.OutOfMemory();
            void* grown = realloc(data, (size_t)wanted * sizeof(T));
            if (!grown) Errors.OutOfMemory();
            data = static_cast<T*>(grown);
            capacity = (int)wanted;
        }
        count = newCount;
    }

    void Append(T value) {
        Grow(1);
        data[count - 1] = value;
    }

    // Frees the storage; the array is empty again.
    void Clear() {
        free(data);
        data = nullptr;
        count = 0;
        capacity = 0;
    }

    T* data = nullptr;
    int count = 0;
    int capacity = 0;
};
