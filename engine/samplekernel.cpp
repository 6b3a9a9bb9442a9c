#include "engine/samplekernel.h"
#include "engine/random.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VANTREL_AVX2 1
#endif

namespace vantrel {

namespace {

// The wave function turns angles with a value of pi that is short of the
// real one by this much: arctan(..) + that pi is the true angle minus it.
constexpr double piShort = 3.141592653589793 - piValue;

// Steps of the eight lanes that one block draws: two for every eight trials.
constexpr int blockSteps = sampleBlockSize / 4;

inline std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

bool cpuHasAvx2() {
#ifdef VANTREL_AVX2
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
#else
    return false;
#endif
}

}  // namespace

void LaneRandom::seed(Random& from) {
    for (int lane = 0; lane < 8; ++lane) {
        Random one(from.next());
        for (int w = 0; w < 4; ++w) s[w][lane] = one.state()[w];
    }
}

void LaneRandom::next8(std::uint64_t out[8]) {
    for (int i = 0; i < 8; ++i) {
        out[i] = rotl(s[1][i] * 5, 7) * 9;
        const std::uint64_t t = s[1][i] << 17;
        s[2][i] ^= s[0][i];
        s[3][i] ^= s[1][i];
        s[1][i] ^= s[2][i];
        s[0][i] ^= s[3][i];
        s[2][i] ^= t;
        s[3][i] = rotl(s[3][i], 45);
    }
}

BatchOrbital::BatchOrbital(const Orbital& o) : fast_(cpuHasAvx2()) {
    k_.orbital = &o;
    k_.rhoScale = 2.0 * o.z / o.n / bohr;
    k_.l = o.l;
    k_.a = o.m < 0 ? -o.m : o.m;
    k_.m = o.m;
    k_.oddPlane = (o.l + k_.a) % 2 != 0;
    // The radial sum is a multiple of the Laguerre polynomial L(n-l-1, 2l+1):
    // L(j+1) = ((2j+2+2l - rho) L(j) - (j+2l+1) L(j-1)) / (j+1), which stays
    // accurate far out where the power sum cancels.
    const int alpha = 2 * o.l + 1;
    double lag = 1, lagOld = 0;
    for (int j = 0; j < o.n - o.l - 1; ++j) {
        k_.lagConst.push_back(double(2 * j + 1 + alpha) / (j + 1));
        k_.lagSlope.push_back(1.0 / (j + 1));
        k_.lagPrev.push_back(double(j + alpha) / (j + 1));
        const double next = k_.lagConst[j] * lag - k_.lagPrev[j] * lagOld;
        lagOld = lag;
        lag = next;
    }
    k_.radialScale = (o.radialCoef.empty() ? 0.0 : o.radialCoef[0]) / lag;
    // The polar sum is a multiple of P(l, |m|) / sin^|m|:
    // q(k+1) = ((2k+1) c q(k) - (k+|m|) q(k-1)) / (k-|m|+1), q(|m|) = 1,
    // tied to the table by its value 2^(l-|m|) coef(l) at cos = 1.
    double q = 1, qOld = 0;
    for (int k = 0; k < k_.l - k_.a; ++k) {
        const int degree = k_.a + k;
        k_.legSlope.push_back(double(2 * degree + 1) / (k + 1));
        k_.legPrev.push_back(double(degree + k_.a) / (k + 1));
        const double next = k_.legSlope[k] * q - k_.legPrev[k] * qOld;
        qOld = q;
        q = next;
    }
    const double top = k_.l < static_cast<int>(o.angularCoef.size()) ? o.angularCoef[k_.l] : 0.0;
    k_.polarScale = std::ldexp(top, k_.l - k_.a) / q;
    k_.solidScale = k_.polarScale * std::pow(k_.rhoScale, k_.l);
}

#ifdef VANTREL_AVX2
namespace {

#define AVX2 __attribute__((target("avx2,fma"), always_inline)) inline
#define AVX2ENTRY __attribute__((target("avx2,fma")))

AVX2 __m256d bc(double v) { return _mm256_set1_pd(v); }
AVX2 __m256d absval(__m256d v) { return _mm256_andnot_pd(bc(-0.0), v); }
AVX2 __m256d select(__m256d mask, __m256d yes, __m256d no) { return _mm256_blendv_pd(no, yes, mask); }

// e^x for x <= 0, to about one unit in the last place; underflows to
// subnormals and 0 as the library function does.
AVX2 __m256d expNegative(__m256d x) {
    x = _mm256_max_pd(x, bc(-1400.0));
    const __m256d n = _mm256_round_pd(_mm256_mul_pd(x, bc(1.4426950408889634)),
                                      _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    __m256d r = _mm256_fnmadd_pd(n, bc(6.93147180369123816490e-01), x);
    r = _mm256_fnmadd_pd(n, bc(1.90821492927058770002e-10), r);
    // Taylor series to degree 13 (remainder below 1e-17 on |r| <= ln2/2),
    // summed in Estrin's order so that its dependency chain stays short
    static constexpr double c[14] = {1.0,          1.0,           1.0 / 2,         1.0 / 6,
                                     1.0 / 24,     1.0 / 120,     1.0 / 720,       1.0 / 5040,
                                     1.0 / 40320,  1.0 / 362880,  1.0 / 3628800,   1.0 / 39916800,
                                     1.0 / 479001600, 1.0 / 6227020800};
    const __m256d r2 = _mm256_mul_pd(r, r);
    const __m256d r4 = _mm256_mul_pd(r2, r2);
    const __m256d r8 = _mm256_mul_pd(r4, r4);
    const __m256d q0 = _mm256_fmadd_pd(bc(c[1]), r, bc(c[0]));
    const __m256d q1 = _mm256_fmadd_pd(bc(c[3]), r, bc(c[2]));
    const __m256d q2 = _mm256_fmadd_pd(bc(c[5]), r, bc(c[4]));
    const __m256d q3 = _mm256_fmadd_pd(bc(c[7]), r, bc(c[6]));
    const __m256d q4 = _mm256_fmadd_pd(bc(c[9]), r, bc(c[8]));
    const __m256d q5 = _mm256_fmadd_pd(bc(c[11]), r, bc(c[10]));
    const __m256d q6 = _mm256_fmadd_pd(bc(c[13]), r, bc(c[12]));
    const __m256d t0 = _mm256_fmadd_pd(q1, r2, q0);
    const __m256d t1 = _mm256_fmadd_pd(q3, r2, q2);
    const __m256d t2 = _mm256_fmadd_pd(q5, r2, q4);
    const __m256d u0 = _mm256_fmadd_pd(t1, r4, t0);
    const __m256d u1 = _mm256_fmadd_pd(q6, r4, t2);
    const __m256d p = _mm256_fmadd_pd(u1, r8, u0);
    // 2^n in two halves so that n down to -2020 still scales correctly
    const __m256d n1 = _mm256_floor_pd(_mm256_mul_pd(n, bc(0.5)));
    const __m256d n2 = _mm256_sub_pd(n, n1);
    const __m256d magic = bc(1023.0 + 0x1.0p52);
    const __m256d s1 = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(_mm256_add_pd(n1, magic)), 52));
    const __m256d s2 = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(_mm256_add_pd(n2, magic)), 52));
    return _mm256_mul_pd(_mm256_mul_pd(p, s1), s2);
}

// 1/sqrt(v) to a few parts in a thousand (bit estimate and one Newton
// step): enough for the corrections of order 1e-12 that it scales.
AVX2 __m256d roughRsqrt(__m256d v) {
    const __m256i bits = _mm256_sub_epi64(_mm256_set1_epi64x(0x5fe6eb50c7b537a9LL),
                                          _mm256_srli_epi64(_mm256_castpd_si256(v), 1));
    const __m256d y = _mm256_castsi256_pd(bits);
    return _mm256_mul_pd(y, _mm256_fnmadd_pd(_mm256_mul_pd(bc(0.5), v), _mm256_mul_pd(y, y), bc(1.5)));
}

// The layout with raw pointers, for the loops.
struct Consts {
    const Orbital* orbital;
    double rhoScale, radialScale, polarScale, solidScale;
    int l, a, m;
    bool oddPlane;
    int lagSteps, legSteps;
    const double *lagConst, *lagSlope, *lagPrev, *legSlope, *legPrev;
};

Consts constsOf(const BatchOrbital::Layout& k) {
    return Consts{k.orbital,
                  k.rhoScale,
                  k.radialScale,
                  k.polarScale,
                  k.solidScale,
                  k.l,
                  k.a,
                  k.m,
                  k.oddPlane,
                  static_cast<int>(k.lagConst.size()),
                  static_cast<int>(k.legSlope.size()),
                  k.lagConst.data(),
                  k.lagSlope.data(),
                  k.lagPrev.data(),
                  k.legSlope.data(),
                  k.legPrev.data()};
}

double scalarPsi(const Consts& k, double x, double y, double z) {
    double r, r2, radial = 0;
    return k.orbital->evaluate(x, y, z, r, r2, radial);
}

// r, and the radial factor without its power of rho (e^(-rho/2) times the
// radial sum), at four points.
AVX2 __m256d decay4(const Consts& k, __m256d x, __m256d y, __m256d z, __m256d& rout) {
    const __m256d s = _mm256_fmadd_pd(y, y, _mm256_mul_pd(x, x));
    const __m256d r = _mm256_sqrt_pd(_mm256_fmadd_pd(z, z, s));
    rout = r;
    const __m256d rho = _mm256_mul_pd(r, bc(k.rhoScale));
    __m256d lag = bc(1.0), lagOld = _mm256_setzero_pd();
    for (int j = 0; j < k.lagSteps; ++j) {
        const __m256d factor = _mm256_fnmadd_pd(bc(k.lagSlope[j]), rho, bc(k.lagConst[j]));
        const __m256d next = _mm256_fmsub_pd(factor, lag, _mm256_mul_pd(bc(k.lagPrev[j]), lagOld));
        lagOld = lag;
        lag = next;
    }
    return _mm256_mul_pd(expNegative(_mm256_mul_pd(rho, bc(-0.5))), _mm256_mul_pd(bc(k.radialScale), lag));
}

// psi at four points for l > 0, from the decay part of the radial factor.
// rho^l times the polar and azimuthal factors is a polynomial in x, y, z
// (a solid harmonic): no angle and no divide. Where the wave function's
// angles gained a half or whole turn they are short by piShort; that is
// put back to first order. rare: lanes whose value must come from the
// scalar function (next to the z axis, or where rounding could tip the
// cut to zero near a nodal plane).
AVX2 __m256d angular4(const Consts& k, __m256d x, __m256d y, __m256d z, __m256d decay, int& rare) {
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = bc(1.0);
    const __m256d s = _mm256_fmadd_pd(y, y, _mm256_mul_pd(x, x));
    const __m256d r2 = _mm256_fmadd_pd(z, z, s);
    const __m256d zZero = _mm256_cmp_pd(z, zero, _CMP_EQ_OQ);
    const __m256d special = _mm256_andnot_pd(
        zZero, _mm256_or_pd(_mm256_cmp_pd(s, _mm256_mul_pd(bc(1e-12), r2), _CMP_LT_OQ),
                            _mm256_cmp_pd(r2, bc(1e-280), _CMP_LT_OQ)));
    const __m256d rsq = roughRsqrt(s);
    // below the plane z = 0 the polar angle is short: z turned back
    const __m256d dz = _mm256_and_pd(_mm256_cmp_pd(z, zero, _CMP_LT_OQ), bc(piShort));
    const __m256d zt = _mm256_fmadd_pd(dz, _mm256_mul_pd(s, rsq), z);
    __m256d h = one, hold = zero;
    for (int j = 0; j < k.legSteps; ++j) {
        const __m256d next = _mm256_fmsub_pd(_mm256_mul_pd(bc(k.legSlope[j]), zt), h,
                                             _mm256_mul_pd(_mm256_mul_pd(bc(k.legPrev[j]), r2), hold));
        hold = h;
        h = next;
    }
    __m256d harmonic = _mm256_mul_pd(bc(k.solidScale), h);
    if (k.oddPlane) harmonic = select(zZero, zero, harmonic);
    if (k.a == 0) {
        rare = _mm256_movemask_pd(special);
        return _mm256_mul_pd(harmonic, decay);
    }

    // (x + iy)^|m|, turned back by the azimuth's share of piShort: a whole
    // one for x < 0, a half one either way (by the sign of y) on x = 0
    __m256d re = x, im = y;
    for (int i = 1; i < k.a; ++i) {
        const __m256d t = _mm256_fmsub_pd(re, x, _mm256_mul_pd(im, y));
        im = _mm256_fmadd_pd(im, x, _mm256_mul_pd(re, y));
        re = t;
    }
    const __m256d xZero = _mm256_cmp_pd(x, zero, _CMP_EQ_OQ);
    const __m256d xNeg = _mm256_cmp_pd(x, zero, _CMP_LT_OQ);
    const __m256d yNeg = _mm256_cmp_pd(y, zero, _CMP_LT_OQ);
    const __m256d quarter = _mm256_xor_pd(bc(piShort * 0.5 * k.a), _mm256_and_pd(yNeg, bc(-0.0)));
    const __m256d turn = _mm256_or_pd(_mm256_and_pd(xZero, quarter), _mm256_and_pd(xNeg, bc(piShort * k.a)));
    const __m256d value = k.m > 0 ? _mm256_fmadd_pd(turn, im, re) : _mm256_fnmadd_pd(turn, re, im);
    // the azimuthal factor is cut to zero below 1e-10: |value| / rxy^|m|
    const __m256d rxy = _mm256_mul_pd(s, rsq);
    __m256d rxyA = one;
    for (int i = 0; i < k.a; ++i) rxyA = _mm256_mul_pd(rxyA, rxy);
    const __m256d size = _mm256_mul_pd(absval(value), bc(sqrt2Value));
    const __m256d cut = _mm256_mul_pd(bc(angularZero), rxyA);
    const __m256d band = _mm256_and_pd(_mm256_cmp_pd(size, _mm256_mul_pd(bc(0.5), cut), _CMP_GE_OQ),
                                       _mm256_cmp_pd(size, _mm256_mul_pd(bc(2.0), cut), _CMP_LE_OQ));
    rare = _mm256_movemask_pd(_mm256_or_pd(special, band));
    // the polar offset scales sin^|m| by 1 + |m| offset cos / sin
    const __m256d tilt = _mm256_fmadd_pd(_mm256_mul_pd(bc(-double(k.a)), dz), _mm256_mul_pd(z, rsq), one);
    const __m256d psi = _mm256_mul_pd(_mm256_mul_pd(harmonic, decay),
                                      _mm256_mul_pd(_mm256_mul_pd(tilt, value), bc(sqrt2Value)));
    return select(_mm256_cmp_pd(size, cut, _CMP_LT_OQ), zero, psi);
}

// psi at four points, the rare lanes from the scalar function.
AVX2 __m256d psi4(const Consts& k, __m256d x, __m256d y, __m256d z, __m256d& r) {
    const __m256d decay = decay4(k, x, y, z, r);
    if (k.l == 0) return _mm256_mul_pd(bc(k.polarScale), decay);
    int rare;
    const __m256d psi = angular4(k, x, y, z, decay, rare);
    if (!rare) return psi;
    alignas(32) double bx[4], by[4], bz[4], bp[4];
    _mm256_store_pd(bx, x);
    _mm256_store_pd(by, y);
    _mm256_store_pd(bz, z);
    _mm256_store_pd(bp, psi);
    for (; rare; rare &= rare - 1) {
        const int j = __builtin_ctz(rare);
        bp[j] = scalarPsi(k, bx[j], by[j], bz[j]);
    }
    return _mm256_load_pd(bp);
}

AVX2ENTRY void evaluateAvx2(const Consts& k, const double* x, const double* y, const double* z, int count,
                            double* psi, double* r) {
    for (int i = 0; i < count; i += 4) {
        alignas(32) double bx[4] = {0, 0, 0, 0}, by[4] = {0, 0, 0, 0}, bz[4] = {0, 0, 0, 0};
        const int n = count - i < 4 ? count - i : 4;
        for (int j = 0; j < n; ++j) bx[j] = x[i + j], by[j] = y[i + j], bz[j] = z[i + j];
        __m256d rr;
        alignas(32) double bp[4], br[4];
        _mm256_store_pd(bp, psi4(k, _mm256_load_pd(bx), _mm256_load_pd(by), _mm256_load_pd(bz), rr));
        _mm256_store_pd(br, rr);
        for (int j = 0; j < n; ++j) psi[i + j] = bp[j], r[i + j] = br[j];
    }
}

AVX2 __m256i rotlV(__m256i x, int k) {
    return _mm256_or_si256(_mm256_slli_epi64(x, k), _mm256_srli_epi64(x, 64 - k));
}

// One step of four xoshiro256** lanes.
AVX2 __m256i nextV(__m256i& s0, __m256i& s1, __m256i& s2, __m256i& s3) {
    const __m256i s15 = _mm256_add_epi64(_mm256_slli_epi64(s1, 2), s1);
    const __m256i rot = rotlV(s15, 7);
    const __m256i result = _mm256_add_epi64(_mm256_slli_epi64(rot, 3), rot);
    const __m256i t = _mm256_slli_epi64(s1, 17);
    s2 = _mm256_xor_si256(s2, s0);
    s3 = _mm256_xor_si256(s3, s1);
    s1 = _mm256_xor_si256(s1, s2);
    s0 = _mm256_xor_si256(s0, s3);
    s2 = _mm256_xor_si256(s2, t);
    s3 = rotlV(s3, 45);
    return result;
}

// The eight lanes' four state words, as two halves of four lanes each.
AVX2ENTRY inline void loadLanesAvx2(const LaneRandom& lanes, __m256i* s0, __m256i* s1, __m256i* s2, __m256i* s3) {
    for (int h = 0; h < 2; ++h) {
        s0[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[0][4 * h]));
        s1[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[1][4 * h]));
        s2[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[2][4 * h]));
        s3[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[3][4 * h]));
    }
}

// Moves the eight lanes on by `steps` steps; both halves in one loop, so
// that their dependency chains overlap.
AVX2ENTRY void skipAvx2(LaneRandom& lanes, int steps) {
    __m256i s0[2], s1[2], s2[2], s3[2];
    loadLanesAvx2(lanes, s0, s1, s2, s3);
    for (int i = 0; i < steps; ++i) {
        for (int h = 0; h < 2; ++h) {
            const __m256i t = _mm256_slli_epi64(s1[h], 17);
            s2[h] = _mm256_xor_si256(s2[h], s0[h]);
            s3[h] = _mm256_xor_si256(s3[h], s1[h]);
            s1[h] = _mm256_xor_si256(s1[h], s2[h]);
            s0[h] = _mm256_xor_si256(s0[h], s3[h]);
            s2[h] = _mm256_xor_si256(s2[h], t);
            s3[h] = rotlV(s3[h], 45);
        }
    }
    for (int h = 0; h < 2; ++h) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[0][4 * h]), s0[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[1][4 * h]), s1[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[2][4 * h]), s2[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[3][4 * h]), s3[h]);
    }
}

// The four signed 32-bit values in the low or high half of a vector.
AVX2 __m256d lowValues(__m256i w) { return _mm256_cvtepi32_pd(_mm256_castsi256_si128(w)); }
AVX2 __m256d highValues(__m256i w) { return _mm256_cvtepi32_pd(_mm256_extracti128_si256(w, 1)); }

struct RunArgs {
    double scale;
    bool keep[3];  // coordinate not zeroed by the region
    double maxPsi2;
    bool wantNonZero;
    const double* bound;  // psi^2 bound by bin of r^2
    double binScale;      // bins per unit of r^2
    int bins;
};

// Trials go through in stages over short stretches, so that each stage is
// a small loop whose iterations the processor can overlap.
constexpr int stretch = 128;

struct Stretch {
    alignas(32) double x[stretch], y[stretch], z[stretch], u[stretch];
};

// For each set of passing lanes (a 4-bit mask), those lanes in order.
alignas(16) const __m128i packedLanes[16] = {
    _mm_setr_epi32(0, 0, 0, 0), _mm_setr_epi32(0, 0, 0, 0), _mm_setr_epi32(1, 0, 0, 0), _mm_setr_epi32(0, 1, 0, 0),
    _mm_setr_epi32(2, 0, 0, 0), _mm_setr_epi32(0, 2, 0, 0), _mm_setr_epi32(1, 2, 0, 0), _mm_setr_epi32(0, 1, 2, 0),
    _mm_setr_epi32(3, 0, 0, 0), _mm_setr_epi32(0, 3, 0, 0), _mm_setr_epi32(1, 3, 0, 0), _mm_setr_epi32(0, 1, 3, 0),
    _mm_setr_epi32(2, 3, 0, 0), _mm_setr_epi32(0, 2, 3, 0), _mm_setr_epi32(1, 2, 3, 0), _mm_setr_epi32(0, 1, 2, 3)};

// The trials of a stretch that need psi, packed (their index in the
// stretch kept), with room to fill the last group of four.
struct Live {
    alignas(32) double x[stretch + 4], y[stretch + 4], z[stretch + 4], u[stretch + 4], r[stretch + 4],
        psi[stretch + 4];
    int index[stretch + 4];
    void take(const Stretch& w, int at, int i) {
        x[at] = w.x[i];
        y[at] = w.y[i];
        z[at] = w.z[i];
        u[at] = w.u[i];
    }
};

AVX2ENTRY void runAvx2(const Consts& k, const RunArgs& a, LaneRandom& lanes, SampleBlock& b) {
    __m256i s0[2], s1[2], s2[2], s3[2];
    loadLanesAvx2(lanes, s0, s1, s2, s3);
    // v * 2^-32 is uniform in -0.5 <= v < 0.5 for a signed 32-bit v
    const __m256d scale = bc(a.scale * 0x1.0p-32);
    const __m256d unit = bc(0x1.0p-32);
    const __m256d half = bc(0.5);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const __m256d keepX = a.keep[0] ? all : zero;
    const __m256d keepY = a.keep[1] ? all : zero;
    const __m256d keepZ = a.keep[2] ? all : zero;
    const __m256d ceiling = bc(a.maxPsi2);
    const __m256d binScale = bc(a.binScale);
    const __m256d lastBin = bc(a.bins - 1);
    // The first nonzero psi needs psi at every trial; otherwise only the
    // trials that the bound cannot turn down get it.
    const bool filter = !a.wantNonZero && a.bound;
    int nacc = 0;
    int firstNz = sampleBlockSize;
    bool lookNz = a.wantNonZero;
    Stretch w;
    Live live;
    for (int base = 0; base < sampleBlockSize; base += stretch) {
        // x, y, z and the acceptance draw u of eight trials from two steps
        // of the eight lanes: each 64-bit word gives two 32-bit values
        for (int i = 0; i < stretch; i += 8) {
            const __m256i a0 = nextV(s0[0], s1[0], s2[0], s3[0]);
            const __m256i a1 = nextV(s0[1], s1[1], s2[1], s3[1]);
            const __m256i b0 = nextV(s0[0], s1[0], s2[0], s3[0]);
            const __m256i b1 = nextV(s0[1], s1[1], s2[1], s3[1]);
            _mm256_store_pd(w.x + i, _mm256_and_pd(_mm256_mul_pd(lowValues(a0), scale), keepX));
            _mm256_store_pd(w.x + i + 4, _mm256_and_pd(_mm256_mul_pd(highValues(a0), scale), keepX));
            _mm256_store_pd(w.y + i, _mm256_and_pd(_mm256_mul_pd(lowValues(a1), scale), keepY));
            _mm256_store_pd(w.y + i + 4, _mm256_and_pd(_mm256_mul_pd(highValues(a1), scale), keepY));
            _mm256_store_pd(w.z + i, _mm256_and_pd(_mm256_mul_pd(lowValues(b0), scale), keepZ));
            _mm256_store_pd(w.z + i + 4, _mm256_and_pd(_mm256_mul_pd(highValues(b0), scale), keepZ));
            _mm256_store_pd(w.u + i, _mm256_fmadd_pd(lowValues(b1), unit, half));
            _mm256_store_pd(w.u + i + 4, _mm256_fmadd_pd(highValues(b1), unit, half));
        }
        // the trials that go on, gathered in order
        int n = 0;
        if (filter) {
            for (int i = 0; i < stretch; i += 4) {
                const __m256d x = _mm256_load_pd(w.x + i), y = _mm256_load_pd(w.y + i), z = _mm256_load_pd(w.z + i);
                const __m256d r2 = _mm256_fmadd_pd(z, z, _mm256_fmadd_pd(y, y, _mm256_mul_pd(x, x)));
                const __m128i bin = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_mul_pd(r2, binScale), lastBin));
                const __m256d bound = _mm256_mask_i32gather_pd(zero, a.bound, bin, all, 8);
                const __m256d threshold = _mm256_mul_pd(_mm256_load_pd(w.u + i), ceiling);
                // the lanes that pass, packed to the front without a branch
                const int pass = _mm256_movemask_pd(_mm256_cmp_pd(bound, threshold, _CMP_GT_OQ));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(live.index + n),
                                 _mm_add_epi32(_mm_set1_epi32(i), packedLanes[pass]));
                n += __builtin_popcount(pass);
            }
            if (n == 0) continue;
        } else {
            for (int i = 0; i < stretch; ++i) live.index[n++] = i;
        }
        for (int j = n; j % 4; ++j) live.index[j] = live.index[n - 1];  // a whole last group
        for (int j = 0; j < n; ++j) live.take(w, j, live.index[j]);
        // the radial factor less its power of rho (psi itself for l = 0)
        for (int i = 0; i < n; i += 4) {
            __m256d r;
            __m256d decay = decay4(k, _mm256_load_pd(live.x + i), _mm256_load_pd(live.y + i),
                                   _mm256_load_pd(live.z + i), r);
            if (k.l == 0) decay = _mm256_mul_pd(bc(k.polarScale), decay);
            _mm256_store_pd(live.r + i, r);
            _mm256_store_pd(live.psi + i, decay);
        }
        // times the solid harmonic
        if (k.l > 0)
            for (int i = 0; i < n; i += 4) {
                int rare;
                _mm256_store_pd(live.psi + i, angular4(k, _mm256_load_pd(live.x + i), _mm256_load_pd(live.y + i),
                                                       _mm256_load_pd(live.z + i), _mm256_load_pd(live.psi + i), rare));
                for (; rare; rare &= rare - 1) {
                    const int j = i + __builtin_ctz(rare);
                    live.psi[j] = scalarPsi(k, live.x[j], live.y[j], live.z[j]);
                }
            }
        // the acceptance test, accepted trials kept in order
        for (int i = 0; i < n; i += 4) {
            const __m256d psi = _mm256_load_pd(live.psi + i);
            const __m256d psi2 = _mm256_mul_pd(psi, psi);
            int acc =
                _mm256_movemask_pd(_mm256_cmp_pd(psi2, _mm256_mul_pd(_mm256_load_pd(live.u + i), ceiling), _CMP_GT_OQ));
            if (n - i < 4) acc &= (1 << (n - i)) - 1;  // not the copies that fill the group
            if (lookNz) {
                const int nz = _mm256_movemask_pd(_mm256_cmp_pd(psi2, zero, _CMP_NEQ_UQ));
                if (nz) {
                    firstNz = base + live.index[i + __builtin_ctz(nz)];
                    lookNz = false;
                }
            }
            for (int bits = acc; bits; bits &= bits - 1) {
                const int j = i + __builtin_ctz(bits);
                b.index[nacc] = static_cast<std::uint16_t>(base + live.index[j]);
                b.x[nacc] = live.x[j];
                b.y[nacc] = live.y[j];
                b.z[nacc] = live.z[j];
                b.psi[nacc] = live.psi[j];
                b.r[nacc] = live.r[j];
                ++nacc;
            }
        }
    }
    for (int h = 0; h < 2; ++h) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[0][4 * h]), s0[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[1][4 * h]), s1[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[2][4 * h]), s2[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[3][4 * h]), s3[h]);
    }
    b.nAccepted = nacc;
    b.firstNonZero = firstNz;
}

}  // namespace
#endif

void LaneRandom::skipBlock() {
#ifdef VANTREL_AVX2
    if (cpuHasAvx2()) {
        skipAvx2(*this, blockSteps);
        return;
    }
#endif
    std::uint64_t unused[8];
    for (int i = 0; i < blockSteps; ++i) next8(unused);
}

void BatchOrbital::evaluate(const double* x, const double* y, const double* z, int count, double* psi,
                            double* r) const {
#ifdef VANTREL_AVX2
    if (fast_) {
        evaluateAvx2(constsOf(k_), x, y, z, count, psi, r);
        return;
    }
#endif
    for (int i = 0; i < count; ++i) {
        double r2 = 0, radial = 0;
        psi[i] = k_.orbital->evaluate(x[i], y[i], z[i], r[i], r2, radial);
    }
}

SampleKernel::SampleKernel(const Orbital& o, double extent, const int mult[3], bool restricted)
    : psi_(o), scale_(2 * extent), restricted_(restricted), mult_{mult[0], mult[1], mult[2]} {
    buildBound(extent);
}

// An upper bound of psi^2 over each shell of the cube, bins equal in r^2:
// |psi| = decay * |polarScale| * rho^l * |angular part|, where the decay
// e^(-rho/2) falls with r, the radial sum is at most the sum of its
// coefficients' sizes times rho^k at the outer radius, and the angular part
// is at most its largest value over the sphere. A trial whose acceptance
// draw lies above its shell's bound is turned down without psi, just as
// the test on psi itself would turn it down; the margin covers rounding.
void SampleKernel::buildBound(double extent) {
    const BatchOrbital::Layout& k = psi_.k_;
    // the radial sum's power coefficients, by the recurrence that makes it
    std::vector<double> lag{1.0}, lagOld{0.0};
    for (std::size_t j = 0; j < k.lagConst.size(); ++j) {
        std::vector<double> next(lag.size() + 1, 0.0);
        for (std::size_t i = 0; i < lag.size(); ++i) {
            next[i] += k.lagConst[j] * lag[i];
            next[i + 1] -= k.lagSlope[j] * lag[i];
            if (i < lagOld.size()) next[i] -= k.lagPrev[j] * lagOld[i];
        }
        lagOld = lag;
        lag = next;
    }
    // the angular part's largest size: the Legendre-type sum times sin^|m|
    double angular = 0;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    constexpr int steps = 2000;  // every fuzzer input builds a kernel; the margin still covers the coarser search
#else
    constexpr int steps = 20000;
#endif
    for (int i = 0; i <= steps; ++i) {
        const double c = -1.0 + 2.0 * i / steps;
        double h = 1, hOld = 0;
        for (std::size_t j = 0; j < k.legSlope.size(); ++j) {
            const double next = k.legSlope[j] * c * h - k.legPrev[j] * hOld;
            hOld = h;
            h = next;
        }
        angular = std::max(angular, std::fabs(h) * std::pow(std::max(0.0, 1 - c * c), 0.5 * k.a));
    }
    if (k.a != 0) angular *= sqrt2Value;
    const double r2Top = 3 * extent * extent;
    if (!(r2Top > 0) || !std::isfinite(r2Top)) return;
    binScale_ = boundBins / r2Top;
    bound_.resize(boundBins);
    for (int i = 0; i < boundBins; ++i) {
        const double inner = std::sqrt(i / binScale_) * k.rhoScale;
        const double outer = std::sqrt((i + 1) / binScale_) * k.rhoScale * (1 + 1e-9);
        double sum = 0;
        for (std::size_t j = 0; j < lag.size(); ++j) sum += std::fabs(lag[j]) * std::pow(outer, static_cast<double>(j));
        const double top = std::exp(-0.5 * inner) * std::fabs(k.radialScale) * sum * std::pow(outer, k.l) *
                           std::fabs(k.polarScale) * angular * 1.05;
        bound_[i] = std::isfinite(top) ? top * top : std::numeric_limits<double>::infinity();
    }
}

void SampleKernel::run(LaneRandom& lanes, double maxPsi2, bool wantNonZero, SampleBlock& b) const {
    bool keep[3];
    for (int c = 0; c < 3; ++c) keep[c] = !(restricted_ && mult_[c] == 0);
#ifdef VANTREL_AVX2
    if (psi_.fast_) {
        const RunArgs args{scale_,         {keep[0], keep[1], keep[2]}, maxPsi2, wantNonZero,
                           bound_.empty() ? nullptr : bound_.data(), binScale_, boundBins};
        runAvx2(constsOf(psi_.k_), args, lanes, b);
        return;
    }
#endif
    // Portable path: the same random stream, psi from the wave function itself.
    int nacc = 0;
    b.firstNonZero = sampleBlockSize;
    bool lookNz = wantNonZero;
    const double scale = scale_ * 0x1.0p-32;
    for (int i = 0; i < sampleBlockSize; i += 8) {
        std::uint64_t w[16];
        lanes.next8(w);
        lanes.next8(w + 8);
        std::int32_t v[32];  // x of the eight trials, then y, z and u
        std::memcpy(v, w, sizeof v);
        for (int j = 0; j < 8; ++j) {
            double coord[3];
            for (int c = 0; c < 3; ++c) coord[c] = keep[c] ? v[8 * c + j] * scale : 0.0;
            const double u = v[24 + j] * 0x1.0p-32 + 0.5;
            double r = 0, r2 = 0, radial = 0;
            const double psi = psi_.k_.orbital->evaluate(coord[0], coord[1], coord[2], r, r2, radial);
            const double psi2 = psi * psi;
            if (lookNz && psi2 != 0) {
                b.firstNonZero = i + j;
                lookNz = false;
            }
            if (psi2 > u * maxPsi2) {
                b.index[nacc] = static_cast<std::uint16_t>(i + j);
                b.x[nacc] = coord[0];
                b.y[nacc] = coord[1];
                b.z[nacc] = coord[2];
                b.psi[nacc] = psi;
                b.r[nacc] = r;
                ++nacc;
            }
        }
    }
    b.nAccepted = nacc;
}

}  // namespace vantrel
