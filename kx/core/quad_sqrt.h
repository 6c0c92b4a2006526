// The correctly rounded binary128 square root that every root of the
// library starts from. libquadmath's sqrtq is not correctly rounded on every
// version, so its last bits (and everything built on them) would change with
// the library; glibc's sqrtf128 is, and so is the same on every machine.
#pragma once

namespace kx {

__float128 quad_sqrt(__float128 x);

}  // namespace kx
