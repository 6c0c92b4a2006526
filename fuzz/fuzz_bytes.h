// What the fuzz targets share: reading integers, binary128 words and quad
// pairs from the fuzzer's bytes, and running a routine under the throwing
// fatal handler so that a fatal stop is an answer, not a crash.
#pragma once

#include <quadmath.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include <kx/kx.h>

namespace kx {

/// The fuzzer's input read from the front; an exhausted input reads as zero
/// bytes, so every input, however short, decodes to some arguments.
class fuzz_bytes {
 public:
  fuzz_bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  /// An integer in [lo, hi], from as many bytes as the span needs.
  int integer(int lo, int hi) {
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    std::uint64_t v = 0;
    for (std::uint64_t reach = 1; reach < span; reach <<= 8) v = (v << 8) | byte();
    return static_cast<int>(lo + static_cast<std::int64_t>(v % span));
  }

  /// Any 32-bit integer, the extremes included: small ones most often.
  int order() {
    switch (byte() % 4) {
      case 0: return integer(-40, 40);
      case 1: return integer(-3000, 3000);
      case 2: return integer(INT32_MIN, INT32_MAX);
      default: return integer(-3, 60);
    }
  }

  /// Any binary128 word: NaNs, infinities and subnormals included.
  __float128 word() {
    unsigned char raw[sizeof(__float128)];
    for (unsigned char& c : raw) c = byte();
    __float128 q;
    std::memcpy(&q, raw, sizeof q);
    return q;
  }

  /// A normalised pair of either sign, significand from the bytes, binary
  /// exponent in [-span, span] (clamped to the normal range).
  kxreal normalised(int span) {
    const __float128 m = 1 + static_cast<__float128>(integer(0, INT32_MAX)) * 0x1p-31Q;
    const __float128 tail = static_cast<__float128>(integer(INT32_MIN, INT32_MAX)) * 0x1p-144Q;
    const int e = integer(-span, span);
    kxreal r;
    kxadd(kxreal{m, 0}, kxreal{tail, 0}, r);
    kxreal scaled{scalbnq(r.hi, e), scalbnq(r.lo, e)};
    if (byte() & 1) kxneg(scaled, scaled);
    return scaled;
  }

  /// A real argument of any kind: raw words (non-normalised pairs, NaN,
  /// infinities, subnormals), special values, small integers and halves,
  /// and normalised values of every magnitude.
  kxreal argument() {
    switch (byte() % 9) {
      case 0: {
        const __float128 hi = word();
        return kxreal{hi, word()};
      }
      case 1: return special_value();
      case 2: return kxreal{static_cast<__float128>(integer(-128, 127))};
      case 3: return kxreal{static_cast<__float128>(integer(-2000, 2000)) / 2};
      case 4: return kxreal{static_cast<__float128>(integer(-128, 127)) / (1 + byte() % 16)};
      case 5: return normalised(4);
      case 6: return normalised(64);
      case 7: return normalised(1100);
      default: return normalised(16400);
    }
  }

  /// The bytes not yet read.
  std::string_view rest() {
    const std::string_view r(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
    pos_ = size_;
    return r;
  }

 private:
  kxreal special_value() {
    static const __float128 values[] = {0,      -0.0Q, __builtin_inff128(), -__builtin_inff128(), nanq(""),
                                        FLT128_MIN, FLT128_DENORM_MIN, FLT128_MAX, 1,     -1,
                                        0.5Q,   -0.5Q, 1e-36Q, 102.049Q, 188.258Q, 11000};
    return kxreal{values[byte() % (sizeof values / sizeof values[0])], 0};
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

/// True for a message a routine of the library may stop with: "*** " and a
/// routine's name, or one of the five that have no prefix.
inline bool is_library_message(const std::string& lines) {
  static const char* const unprefixed[] = {"KXPOWER: A <= 0", "KXATANH: Argument is <= -1 or >= 1.",
                                           "KXACOSH: Argument is < 1.", "KXPOLYR: failed to converge.",
                                           "KXEFORMAT: Insufficient space in B2 array."};
  if (lines.rfind("*** KX", 0) == 0 || lines.rfind("*** ZEZUV1", 0) == 0) return true;
  for (const char* m : unprefixed)
    if (lines.rfind(m, 0) == 0) return true;
  return false;
}

/// Runs `call` with fatal conditions thrown as kx::fatal_error. A fatal
/// stop with one of the library's messages is an answer; any other message
/// is a finding, and ends the run at once.
template <class Call>
void run_or_stop(Call&& call) {
  static const bool installed = (set_fatal_handler(throw_fatal_error), true);
  (void)installed;
  try {
    call();
  } catch (const fatal_error& e) {
    if (!is_library_message(e.what())) __builtin_trap();
  }
}

}  // namespace kx
