// Takes a fuzzer's bytes apart into the texts a target needs: each text runs
// to the next zero byte (or the end), so any input gives some texts.
#ifndef AUTORUN_FUZZ_INPUT_H
#define AUTORUN_FUZZ_INPUT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

struct FuzzInput {
    const uint8_t *data;
    size_t size;
    size_t at;
};

inline std::string NextText(FuzzInput &input)
{
    std::string text;
    while (input.at < input.size && input.data[input.at] != 0)
        text.push_back((char)input.data[input.at++]);
    if (input.at < input.size)
        input.at++;
    return text;
}

inline uint8_t NextByte(FuzzInput &input)
{
    return input.at < input.size ? input.data[input.at++] : 0;
}

#define FUZZ_CHECK(condition)                                                 \
    do {                                                                      \
        if (!(condition)) {                                                   \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                          \
        }                                                                     \
    } while (0)

#endif
