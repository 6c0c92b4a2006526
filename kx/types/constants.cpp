#include <kx/types/constants.h>

kxreal kxpi() { kxreal a; kxpi(a); return a; }

kxreal kxlog2() { kxreal a; kxlog2(a); return a; }

kxreal kxegamma() { kxreal a; kxegamma(a); return a; }
