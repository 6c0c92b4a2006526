// The stored constants, each a normalised quad pair built from its
// hexadecimal words (high 64 bits first).
#include <kx/core/core.h>
#include <kx/core/quad_words.h>

using kx::quad_from_words;

void kxpi(kxreal& a) {
  a = {quad_from_words(0x4000921FB54442D1, 0x8469898CC51701B8),
       quad_from_words(0x3F8DCD129024E088, 0xA67CC74020BBEA61)};
}

void kxlog2(kxreal& a) {
  a = {quad_from_words(0x3FFE62E42FEFA39E, 0xF35793C7673007E6),
       quad_from_words(0xBF8A2A17E1979B31, 0xACE93A4EBE5D148D)};
}

void kxegamma(kxreal& a) {
  a = {quad_from_words(0x3FFE2788CFC6FB61, 0x8F49A37C7F0202A6),
       quad_from_words(0xBF8CA54AF1899E28, 0x4D19FF379FE1065C)};
}
