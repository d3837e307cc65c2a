# Reference figures for the transcripts of the prognoses after A: the plain,
# gradient-factor, numeric and per-compartment gradient-factor schedules,
# computed apart from the C++ code, step by step from the rules of each
# schedule.
#
# Double steps are Python floats (IEEE double) in the model's operand order;
# exp and ln are the C library's, as in the program. Binary128 steps are exact
# fractions rounded to the nearest binary128 (113-bit significand, ties to
# even) after every operation, then rounded to double where the model rounds.
#
# Run: python3 variants_reference.py [SESSION]   (prints the expected lines)
#      python3 variants_reference.py --check     (compares with the transcripts)
import difflib
import math
import os
import sys
from fractions import Fraction as Fr


# --- binary128 -------------------------------------------------------------

def qr(x):
    """x rounded to the nearest binary128 (normal range)."""
    x = Fr(x)
    if x == 0:
        return Fr(0)
    sign = -1 if x < 0 else 1
    x = abs(x)
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if Fr(2) ** e > x:
        e -= 1
    if Fr(2) ** (e + 1) <= x:
        e += 1
    scale = Fr(2) ** (112 - e)
    y = x * scale
    n = y.numerator // y.denominator
    rem = y - n
    if rem > Fr(1, 2) or (rem == Fr(1, 2) and n % 2 == 1):
        n += 1
    return sign * Fr(n) / scale


def q(d):
    return Fr(d)  # a double widened exactly


def dbl(x):
    return float(Fr(x))  # correctly rounded to double


Q053 = qr(Fr('0.053'))
Q063 = qr(Fr('0.063'))
LN2 = qr(Fr('0.693147180559945309417232121458176575'))


def alveolar(Pamb, RQ):
    C = qr(Q053 * qr(qr(1 - q(RQ)) / q(RQ)))
    return qr(qr(q(Pamb) - Q063) + C)


def inspired(Pamb, RQ, F):
    return dbl(qr(alveolar(Pamb, RQ) * q(F)))


def rate(tau):
    return dbl(qr(LN2 / q(tau)))


def trunc_q(x):
    return int(x)  # toward zero


# --- the dive --------------------------------------------------------------

ZHL16C = [  # tau N2, a N2, b N2, tau He, a He, b He
    (4.0, 1.2599, 0.505, 1.51, 1.7424, 0.4245), (8.0, 1.0, 0.6514, 3.02, 1.383, 0.5747),
    (12.5, 0.8618, 0.7222, 4.72, 1.1919, 0.6527), (18.5, 0.7562, 0.7825, 6.99, 1.0458, 0.7223),
    (27.0, 0.62, 0.8126, 10.21, 0.922, 0.7852), (38.3, 0.5043, 0.8434, 14.48, 0.8205, 0.7957),
    (54.3, 0.441, 0.8693, 20.53, 0.7305, 0.8279), (77.0, 0.4, 0.891, 29.11, 0.6502, 0.8553),
    (109.0, 0.375, 0.9092, 41.2, 0.595, 0.8757), (146.0, 0.35, 0.9222, 55.19, 0.5545, 0.8903),
    (187.0, 0.3295, 0.9319, 70.69, 0.5333, 0.8997), (239.0, 0.3065, 0.9403, 90.34, 0.5189, 0.9073),
    (305.0, 0.2835, 0.9477, 115.29, 0.5181, 0.9122), (390.0, 0.261, 0.9544, 147.42, 0.5176, 0.9171),
    (498.0, 0.248, 0.9602, 188.24, 0.5172, 0.9217), (635.0, 0.2327, 0.9653, 240.03, 0.5119, 0.9267),
]


class Dive:
    def __init__(s):
        s.RHO, s.GRAV, s.PAIR, s.RQ = 998.403, 9.80665, 1.013, 1.0
        s.FO2, s.FHE, s.FN2 = 0.2095, 0.000005, 0.7902
        s.ASCRATE, s.LASTSTOP, s.DEEPSTOP = 9.0, 3.0, 3.0
        s.GFHI = s.GFLO = 1.0
        s.GFCUR = 0.0
        s.GFFLAG = 'N'
        s.DEPTH = 0.0
        s.AN2 = [r[1] for r in ZHL16C]
        s.BN2 = [r[2] for r in ZHL16C]
        s.AHE = [r[4] for r in ZHL16C]
        s.BHE = [r[5] for r in ZHL16C]
        s.KN2 = [rate(r[0]) for r in ZHL16C]
        s.KHE = [rate(r[3]) for r in ZHL16C]
        s.GFHI_N2 = [1.0] * 16
        s.GFLO_N2 = [1.0] * 16
        s.GFHI_HE = [1.0] * 16
        s.GFLO_HE = [1.0] * 16
        s.PN2 = [0.8004726] * 16
        s.PHE = [0.000005065] * 16
        s.CEILM = [0.0] * 16
        s.AMIX = [0.0] * 16
        s.BMIX = [0.0] * 16
        s.NUMSTEPS = [0.0] * 16
        s.PIHE = 0.0

    def RG(s):
        return (s.RHO * s.GRAV) / 100000

    def gas(s, fo2, fhe):
        s.FO2, s.FHE = fo2, fhe
        s.FN2 = dbl(qr(qr(1 - q(fo2)) - q(fhe)))

    def n2_file(s, rows):
        """rows: (tau, a, b, gfhi, gflo) per compartment, as read from the file."""
        for i, (tau, a, b, hi, lo) in enumerate(rows):
            s.AN2[i], s.BN2[i], s.KN2[i], s.GFHI_N2[i], s.GFLO_N2[i] = a, b, rate(tau), hi, lo

    def he_file(s, rows):
        for i, (tau, a, b, hi, lo) in enumerate(rows):
            s.AHE[i], s.BHE[i], s.KHE[i], s.GFHI_HE[i], s.GFLO_HE[i] = a, b, rate(tau), hi, lo

    def mix_store(s):
        F = 100000 / (s.RHO * s.GRAV)
        for i in range(16):
            pn, ph = s.PN2[i], s.PHE[i]
            s.AMIX[i] = (s.AHE[i] * ph + s.AN2[i] * pn) / (pn + ph)
            s.BMIX[i] = (s.BHE[i] * ph + s.BN2[i] * pn) / (pn + ph)
            pt = (pn + ph - s.AMIX[i]) * s.BMIX[i]
            ce = (pt - s.PAIR) * F
            s.CEILM[i] = 0.0 if ce < 0 else ce

    def d(s, depth, time):
        s.DEPTH = depth
        Pamb = depth * s.RG() + s.PAIR
        PiN2 = inspired(Pamb, s.RQ, s.FN2)
        PiHe = inspired(Pamb, s.RQ, s.FHE)
        for i in range(16):
            s.PN2[i] = (s.PN2[i] - PiN2) * math.exp(-(s.KN2[i] * time)) + PiN2
            s.PHE[i] = (s.PHE[i] - PiHe) * math.exp(-(s.KHE[i] * time)) + PiHe
        s.mix_store()

    def a(s, stage):
        RG = s.RG()
        t = (s.DEPTH - stage) / s.ASCRATE
        P0 = s.DEPTH * RG + s.PAIR
        s.DEPTH = stage
        Pi0N2 = inspired(P0, s.RQ, s.FN2)
        Pi0He = inspired(P0, s.RQ, s.FHE)
        s.PIHE = Pi0He
        RN2 = -(s.FN2 * (RG * s.ASCRATE))
        RHe = -((RG * s.ASCRATE) * s.FHE)
        for i in range(16):
            s.PN2[i] = schreiner(s.PN2[i], Pi0N2, RN2, s.KN2[i], t)
            s.PHE[i] = schreiner(s.PHE[i], Pi0He, RHe, s.KHE[i], t)
        s.mix_store()


def schreiner(P, Pi0, R, k, t):
    e = math.exp(-(t * k))
    return ((t - (1 / k) * (1 - e)) * R + Pi0) + (P - Pi0) * e


# --- output fields ---------------------------------------------------------

def F(x, w, d):
    s = '%.*f' % (d, x)
    if d == 0:
        s += '.'
    if s.startswith('0.') and len(s) > w:
        s = s[1:]
    if s.startswith('-0.') and len(s) > w:
        s = '-' + s[2:]
    return s.rjust(w) if len(s) <= w else '*' * w


def I(n, w):
    s = '%d' % n
    return s.rjust(w) if len(s) <= w else '*' * w


# --- shared steps of the schedules -------------------------------------------

def first_stop(C):
    return 3 * trunc_q(qr(q(C) / q(3.0))) + 3


def ascend(s, PN2W, PHEW, S1):
    RG = s.RG()
    t = (s.DEPTH - S1) / s.ASCRATE
    Pamb0 = s.DEPTH * RG + s.PAIR
    Pi0N2 = inspired(Pamb0, s.RQ, s.FN2)
    Pi0He = inspired(Pamb0, s.RQ, s.FHE)
    RN2 = -(s.FN2 * (s.ASCRATE * RG))
    RHe = -((s.ASCRATE * RG) * s.FHE)
    for i in range(16):
        PN2W[i] = schreiner(PN2W[i], Pi0N2, RN2, s.KN2[i], t)
        PHEW[i] = schreiner(PHEW[i], Pi0He, RHe, s.KHE[i], t)


def first_stop_after_ascent(s, ceilings, PN2W, PHEW):
    """E3 to E5: the running maximum of 0 and the ceilings, the first stop
    (stored to DEEPSTOP) and the ascent of the working tensions to it."""
    C = 0.0
    for c in ceilings:
        if c > C:
            C = c
    S1 = first_stop(C)
    s.DEEPSTOP = float(S1)
    ascend(s, PN2W, PHEW, S1)
    return S1


def laststop_holds(s, st):
    return q(st - s.LASTSTOP) <= 0  # the difference in double


def printed(s, st):
    return int(s.LASTSTOP) if laststop_holds(s, st) or st == 3 else st


def lead_of(t, lead):
    T = 0.0
    for i in range(16):
        if t[i] >= T:
            T = t[i]
        if t[i] >= T:
            lead = i + 1
    return T, lead


def tts(s, SUM):
    return SUM + math.trunc(s.DEPTH / s.ASCRATE)


def stops_from(s, S1):
    st = S1
    while st >= 3:
        yield st
        if laststop_holds(s, st):
            return
        st -= 3


def pressures(s, st):
    Pamb = st * s.RG() + s.PAIR
    PiN2 = inspired(Pamb, s.RQ, s.FN2)
    PiHe = inspired(Pamb, s.RQ, s.FHE)
    s.PIHE = PiHe
    return Pamb, PiN2, PiHe


def target(s, st):
    return s.PAIR if laststop_holds(s, st) else (st - 3) * s.RG() + s.PAIR


def update(s, PN2W, PHEW, PiN2, T):
    for i in range(16):
        PN2W[i] = (PN2W[i] - PiN2) * math.exp(-(s.KN2[i] * T)) + PiN2
        PHEW[i] = (PHEW[i] - s.PIHE) * math.exp(-(s.KHE[i] * T)) + s.PIHE


def limit_time(P, Pi, M, k):
    if P > Pi and M > Pi:
        return -((1 / k) * math.log((M - Pi) / (P - Pi)))
    return 0.0


def gf_m(Pnext, a, b, G):
    bG = b / ((G - G * b) + b)
    return Pnext / bG + a * G


def gf_ceiling(s, P, a, b, G):
    bLo = b / ((G - G * b) + b)
    return ((P - a * G) * bLo - s.PAIR) * (100000 / (s.RHO * s.GRAV))


# --- the schedules -----------------------------------------------------------

def plain(s):
    L = ["  Deko Prognose: "]
    PN2W, PHEW = s.PN2[:], s.PHE[:]
    PSUMW = [PN2W[i] + PHEW[i] for i in range(16)]
    S1 = first_stop_after_ascent(s, s.CEILM, PN2W, PHEW)
    SUM, lead = 0.0, 0
    for st in stops_from(s, S1):
        Pamb, PiN2, PiHe = pressures(s, st)
        Pi = PiHe + PiN2
        Pnext = target(s, st)
        t, KMIX = [0.0] * 16, [0.0] * 16
        for i in range(16):
            S = PHEW[i] + PN2W[i]
            s.AMIX[i] = (s.AHE[i] * PHEW[i] + s.AN2[i] * PN2W[i]) / S
            s.BMIX[i] = (s.BHE[i] * PHEW[i] + s.BN2[i] * PN2W[i]) / S
            KMIX[i] = (s.KHE[i] * PHEW[i] + s.KN2[i] * PN2W[i]) / S
            M = Pnext / s.BMIX[i] + s.AMIX[i]
            t[i] = limit_time(PSUMW[i], Pi, M, KMIX[i])
        T, lead = lead_of(t, lead)
        Tr = float(trunc_q(qr(q(T) + qr(Fr(3) / q(s.ASCRATE))))) + 1
        SUM += Tr
        L.append(" %sm Stopp Prognose Dekozeit:%s  Komp.#: %s" % (I(printed(s, st), 4), F(Tr, 8, 1), I(lead, 2)))
        update(s, PN2W, PHEW, PiN2, T)
        PSUMW = [PN2W[i] + PHEW[i] for i in range(16)]
    L.append(" TTS = %s" % F(tts(s, SUM), 8, 1))
    return L


def numeric(s, h):
    """h as typed and read (0 for the default)."""
    L = ["  Deko Prognose numerisch: "]
    if h == 0:
        h, N = 0.01, 60000
    else:
        N = math.trunc(dbl(qr(Fr(600) / q(h))))
    PN2W, PHEW = s.PN2[:], s.PHE[:]
    S1 = first_stop_after_ascent(s, s.CEILM, PN2W, PHEW)
    RG = s.RG()
    SUMT = SUMR = 0.0
    lines = []
    for st in stops_from(s, S1):
        Pamb, PiN2, PiHe = pressures(s, st)
        P0N2, P0He = PN2W[:], PHEW[:]
        Pnext = qr(q(Pamb) - qr(3 * q(RG)))
        t = [0.0] * 16
        for i in range(16):
            tt = 0.0
            if N <= 0:
                continue
            for j in range(1, N + 1):
                tt = tt + h
                pN2 = math.exp(-(s.KN2[i] * tt)) * (P0N2[i] - PiN2) + PiN2
                pHe = math.exp(-(tt * s.KHE[i])) * (P0He[i] - PiHe) + PiHe
                S = pN2 + pHe
                a = (s.AHE[i] * pHe + s.AN2[i] * pN2) / S
                b = (s.BHE[i] * pHe + s.BN2[i] * pN2) / S
                Ptol = (S - a) * b
                if qr(Pnext - q(Ptol)) > 0:
                    s.NUMSTEPS[i] = float(j)
                    break
            s.AMIX[i], s.BMIX[i] = a, b
            t[i] = tt
        T, lead = lead_of(t, 0)
        Tr = float(trunc_q(qr(q(T) + qr(Fr(3) / q(s.ASCRATE))))) + 1
        SUMT += T
        SUMR += Tr
        lines.append(" %sm Stopp APPROXIMATION :   %s Steps N= %s Komp.#: %s"
                     % (I(printed(s, st), 2), F(T, 6, 2), F(s.NUMSTEPS[lead - 1], 12, 1), I(lead, 3)))
        for i in range(16):
            PN2W[i] = (P0N2[i] - PiN2) * math.exp(-(s.KN2[i] * T)) + PiN2
            PHEW[i] = (P0He[i] - PiHe) * math.exp(-(s.KHE[i] * T)) + PiHe
    L += lines
    L.append(" TTS          = %s" % F(SUMT + s.DEPTH / s.ASCRATE, 7, 2))
    rounded = dbl(qr(q(SUMR + math.trunc(s.DEPTH / s.ASCRATE)) + 2))
    L.append(" TTS gerundet = %s" % F(rounded, 5, 0))
    L.append(" CPU TIME used: %s" % F(0.0, 9, 6))
    return L


def gf(s):
    L = ["  Deko Prognose mit Gradientenfaktoren:  GFHI= %s GFLO= %s" % (F(s.GFHI, 6, 2), F(s.GFLO, 6, 2))]
    PHEW, PN2W = s.PHE[:], s.PN2[:]
    PSUMW = [s.PHE[i] + s.PN2[i] for i in range(16)]
    KMIX = [(s.KHE[i] * s.PHE[i] + s.KN2[i] * s.PN2[i]) / (s.PHE[i] + s.PN2[i]) for i in range(16)]
    ceilings = [gf_ceiling(s, PSUMW[i], s.AMIX[i], s.BMIX[i], s.GFLO) for i in range(16)]
    S1 = first_stop_after_ascent(s, ceilings, PN2W, PHEW)
    SUM, lead = 0.0, 0
    for st in stops_from(s, S1):
        Pamb, PiN2, PiHe = pressures(s, st)
        Pi = PiHe + PiN2
        s.GFCUR = s.GFHI - ((s.GFHI - s.GFLO) / s.DEEPSTOP) * st
        Pnext = target(s, st)
        t = [limit_time(PSUMW[i], Pi, gf_m(Pnext, s.AMIX[i], s.BMIX[i], s.GFCUR), KMIX[i]) for i in range(16)]
        T, lead = lead_of(t, lead)
        Tr = float(math.trunc(T)) + 1
        SUM += Tr
        L.append(" %sm Stopp Prognose Dekozeit:%s  GF = %s  Komp.#: %s"
                 % (I(printed(s, st), 2), F(Tr, 8, 1), F(s.GFCUR, 6, 2), I(lead, 2)))
        update(s, PN2W, PHEW, PiN2, T)
        PSUMW = [PN2W[i] + PHEW[i] for i in range(16)]
    L.append(" TTS = %s" % F(tts(s, SUM), 8, 1))
    return L


def vgm(s):
    L = ["  GF FLAG: %s   Deko Prognose nach VGM: " % s.GFFLAG]
    PHEW, PN2W = s.PHE[:], s.PN2[:]
    HI, LO, KMIX, PSUMW = [], [], [], []
    for i in range(16):
        S = s.PHE[i] + s.PN2[i]
        HI.append((s.GFHI_N2[i] * s.PN2[i] + s.GFHI_HE[i] * s.PHE[i]) / S)
        LO.append((s.GFLO_N2[i] * s.PN2[i] + s.GFLO_HE[i] * s.PHE[i]) / S)
        KMIX.append((s.KHE[i] * s.PHE[i] + s.KN2[i] * s.PN2[i]) / S)
        PSUMW.append(s.PN2[i] + s.PHE[i])
    ceilings = [gf_ceiling(s, PSUMW[i], s.AMIX[i], s.BMIX[i], LO[i]) for i in range(16)]
    S1 = first_stop_after_ascent(s, ceilings, PN2W, PHEW)
    lead = 0
    for st in stops_from(s, S1):
        Pamb, PiN2, PiHe = pressures(s, st)
        Pi = PiHe + PiN2
        G = [HI[i] - ((HI[i] - LO[i]) / s.DEEPSTOP) * st for i in range(16)]
        Pnext = target(s, st)
        t = [limit_time(PSUMW[i], Pi, gf_m(Pnext, s.AMIX[i], s.BMIX[i], G[i]), KMIX[i]) for i in range(16)]
        T, lead = lead_of(t, lead)
        Tr = float(math.trunc(T)) + 1
        k = lead - 1
        L.append(" %sm Stopp Prognose VGM Deko: %s  Komp..:%s GFHI: %s GFLO: %s GF = %s"
                 % (I(printed(s, st), 2), F(Tr, 8, 1), I(lead, 2), F(HI[k], 5, 2), F(LO[k], 5, 2), F(G[k], 5, 2)))
        update(s, PN2W, PHEW, PiN2, T)
        PSUMW = [PN2W[i] + PHEW[i] for i in range(16)]
    return L


# --- the sessions ------------------------------------------------------------

def zhl16c_file(changes):
    """The ZH-L 16C nitrogen (or helium) rows of a coefficient file, with the
    factors of some compartments changed: {compartment: (gfhi, gflo)}."""
    def rows(gas):
        out = []
        for i, r in enumerate(ZHL16C):
            tau, a, b = (r[0], r[1], r[2]) if gas == 'N2' else (r[3], r[4], r[5])
            hi, lo = changes.get(i + 1, (1.0, 1.0))
            out.append((tau, a, b, hi, lo))
        return out
    return rows


def chain(s, numeric_steps=None):
    """The prognoses of A after the ascent, as the shell chains them."""
    L = plain(s)
    if numeric_steps is not None:
        L += numeric(s, numeric_steps)
    if s.GFFLAG == 'S':
        L += gf(s)
    if s.GFFLAG == 'V':
        L += vgm(s)
    return L


def session_lines(name):
    s = Dive()
    if name == 'gf-air-24m-40min-shallow-stop':
        s.GFHI, s.GFLO, s.GFFLAG = 0.8, 0.4, 'S'
        s.d(24.0, 40.0)
        s.a(6.0)
        return chain(s)
    if name == 'gf-trimix-60m-20min-deep-stops':
        s.gas(0.18, 0.45)
        s.GFHI, s.GFLO, s.GFFLAG = 0.85, 0.3, 'S'
        s.d(60.0, 20.0)
        s.a(30.0)
        return chain(s)
    if name == 'gf-high-at-one-air-40m-25min':
        s.GFHI, s.GFLO, s.GFFLAG = 1.0, 0.5, 'S'
        s.d(40.0, 25.0)
        s.a(15.0)
        return chain(s)
    if name == 'numeric-air-24m-40min-default-step':
        s.d(24.0, 40.0)
        s.a(6.0)
        return chain(s, 0)
    if name == 'numeric-trimix-60m-20min-two-step-sizes':
        s.gas(0.18, 0.45)
        s.d(60.0, 20.0)
        s.a(30.0)
        L = chain(s, 0.1)
        s.a(21.0)
        return L + chain(s, 0.5)
    if name == 'numeric-then-gf-air-45m-30min':
        s.GFHI, s.GFLO, s.GFFLAG = 0.85, 0.3, 'S'
        s.d(45.0, 30.0)
        s.a(12.0)
        return chain(s, 0)
    if name == 'vgm-one-compartment-factor-air-30m-25min':
        s.n2_file(zhl16c_file({5: (1.0, 0.5)})('N2'))
        s.GFFLAG = 'V'
        s.d(30.0, 25.0)
        s.a(9.0)
        return chain(s)
    if name == 'vgm-trimix-60m-20min-both-gases':
        s.gas(0.18, 0.45)
        s.n2_file(zhl16c_file({4: (0.9, 0.4), 5: (0.8, 0.3), 6: (0.9, 0.5)})('N2'))
        s.he_file(zhl16c_file({2: (0.7, 0.2), 4: (0.8, 0.4)})('HE'))
        s.GFFLAG = 'V'
        s.d(60.0, 20.0)
        s.a(30.0)
        return chain(s)
    raise SystemExit('unknown session ' + name)


SESSIONS = ['gf-air-24m-40min-shallow-stop', 'gf-trimix-60m-20min-deep-stops', 'gf-high-at-one-air-40m-25min',
            'numeric-air-24m-40min-default-step', 'numeric-trimix-60m-20min-two-step-sizes',
            'numeric-then-gf-air-45m-30min', 'vgm-one-compartment-factor-air-30m-25min',
            'vgm-trimix-60m-20min-both-gases']

PROMPT = '  Schrittweite (default = 0.01)?'
HEADINGS = ('  Deko Prognose', '  GF FLAG')


def printed_prognoses(out_text):
    """The prognosis lines of a transcript: from each heading up to the next
    prompt of the shell or of A, with the step-size prompts taken out."""
    got, take = [], False
    for line in out_text.split('\n'):
        if line.startswith(HEADINGS):
            take = True
        elif line.startswith(('  was jetzt?', ' Eingabe der Austauchstufe')):
            take = False
        if take:
            line = line.replace(PROMPT, '')
            if line:
                got.append(line)
    return got


if __name__ == '__main__':
    # With --check, compare with the transcripts in tests/sessions.
    check = '--check' in sys.argv
    names = [a for a in sys.argv[1:] if a != '--check'] or SESSIONS
    here = os.path.dirname(os.path.abspath(__file__))
    for name in names:
        expected = session_lines(name)
        if not check:
            print('==', name)
            print('\n'.join(expected))
            continue
        with open(os.path.join(here, '..', '..', 'sessions', name + '.out')) as f:
            got = printed_prognoses(f.read())
        print(('same ' if got == expected else 'DIFFERENT ') + name)
        if got != expected:
            for line in difflib.unified_diff(expected, got, 'reference', 'transcript', lineterm=''):
                print(line)
