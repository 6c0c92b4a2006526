// The cosine and sine of a kxreal, and the polar angle of a point.
//
// Accuracy is in units of 2^-226, measured against MPFR over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// x = cos a and y = sin a: a reduced modulo 2 pi to r in [-pi, pi], the
/// sine series of r/32, five double-angle steps for the cosine, and the sine
/// as +-sqrt(1 - cos^2) (the root's argument is not negative in any case
/// measured; a negative one would stop with kxsqrt's message).
/// Accuracy (|a| <= 10): cos within 180 units absolute (five double angles
/// multiply the series' error); sin within 14 units relative near pi/2, but
/// coming from 1 - cos^2 it loses relative accuracy where |sin a| is small:
/// 22000 units absolute measured near multiples of pi (up to about 2^-113
/// absolute in the worst case), and about 2^-113 relative near 0. The
/// reduction adds about 2 |a| units absolute: near |a| = 10^60 only about 8
/// digits remain. Below |r| = 2^-8190, where cos r's low word leaves the
/// range, cos = 1 and sin = r, both correct to the format. a = 0 gives (1, 0)
/// exactly. |a.hi| >= 10^60 stops with "*** KXCSSNR: argument is too large
/// to compute cos or sin.".
///   kxcssnr(kxreal{1}, x, y);   // x = cos 1, y = sin 1
void kxcssnr(const kxreal& a, kxreal& x, kxreal& y);

/// a = the angle of the point (x, y) in (-pi, pi], by three Newton steps on
/// kxcssnr from libquadmath's atan2q of the normalised point. The axes give
/// 0, pi, pi/2 and -pi/2 exactly (the stored constants). Accuracy: 30000
/// units absolute for coordinates in [-1, 1], but near the axes the sine
/// of kxcssnr keeps only about 2^-113 relative, so that atan(10^-20) keeps
/// about 35 digits (measured up to 5e17 units absolute over wide points). Scaling
/// both coordinates by a power of two does not change the result; points
/// whose squares would leave the range are so scaled. x.hi = y.hi = 0 stops
/// with "*** KXANG: Both arguments are zero.".
///   kxang(kxreal{1}, kxreal{1}, a);   // a = pi/4
void kxang(const kxreal& x, const kxreal& y, kxreal& a);
