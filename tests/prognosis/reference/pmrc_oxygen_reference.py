# Reference figures for the transcripts of the PMRC prognosis and the
# oxygen-corrected prognosis OC at depth, computed apart from the C++ code.
#
# Double steps are Python floats in the model's order; binary128 steps are
# 50-digit decimals rounded to the nearest double where the model rounds;
# exp and ln are taken in decimal and rounded to double. The D segments come
# from the reference of the profile commands.
# Run: python3 pmrc_oxygen_reference.py; each block holds the prognosis lines
# of one transcript or the schedules of the unit-test fixtures.
import os
import sys
from decimal import Decimal as D

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', '..', 'model', 'reference'))
from dive_reference import State, AHE, AN2, BHE, BN2, F, dd, rd, dexp  # noqa: E402

PMRC_F = [1.3, 1.28, 1.26, 1.24, 1.2, 1.15, 1.1, 1.05, 1.01]
PMRC_G = [0.7, 0.72, 0.74, 0.76, 0.8, 0.85, 0.9, 0.95, 0.99]


def dln(x):
    return rd(dd(x).ln())


def inspired(s, Pamb, f):
    C = D('0.053') * ((D(1) - dd(s.RQ)) / dd(s.RQ))
    return rd(((dd(Pamb) - D('0.063')) + C) * dd(f))


def I2(n):
    x = str(n)
    return x.rjust(2) if len(x) <= 2 else '**'


def schedule(s, kind, corrected=False):
    """The stop lines and time-to-surface lines of one pass."""
    RG = (s.RHO * s.GRAV) / 100000
    Fm = 100000 / (s.RHO * s.GRAV)
    a, b, k, kn, kh = [], [], [], [], []
    pn, ph, ps = list(s.PN2), list(s.PHE), []
    for i in range(16):
        S = s.PHE[i] + s.PN2[i]
        a.append((AHE[i] * s.PHE[i] + AN2[i] * s.PN2[i]) / S)
        b.append((BHE[i] * s.PHE[i] + BN2[i] * s.PN2[i]) / S)
        k.append((s.KHE[i] * s.PHE[i] + s.KN2[i] * s.PN2[i]) / S)
        kn.append(s.KN2[i])
        kh.append(s.KHE[i])
        ps.append(S)
    if corrected:
        c = D('1.35')
        k = [rd(dd(x) / c) for x in k]
        kn = [rd(dd(x) / c) for x in kn]
        kh = [rd(dd(x) / c) for x in kh]
    C = 0.0
    for i in range(16):
        P = PMRC_F[i] * ps[i] if kind == 'pmrc' and i < 9 else ps[i]
        ce = ((P - a[i]) * b[i] - s.PAIR) * Fm
        if ce > C:
            C = ce
    st = 3 * int(dd(C) / D(3)) + 3
    out, SUM, SUMAB = [], 0.0, 0.0
    while st >= 3:
        Pamb = st * RG + s.PAIR
        PiN2, PiHe = inspired(s, Pamb, s.FN2), inspired(s, Pamb, s.FHE)
        if kind == 'oc' and st <= 6:
            PiN2 = PiHe = 0.0
        Pi = PiHe + PiN2
        Pnext = RG * (st - 3) + s.PAIR
        T = 0.0
        for i in range(16):
            M = Pnext / b[i] + a[i]
            if kind == 'pmrc' and i < 9:
                M = M * PMRC_G[i]
            t = -((1.0 / k[i]) * dln((M - Pi) / (ps[i] - Pi))) if ps[i] > Pi and M > Pi else 0.0
            if t > T:
                T = t
        Tr = float(int(T) + 1)
        if kind == 'oc' and s.LATENCY == 'Y':
            Tr += 5.0
        SUM += Tr
        SUMAB += Tr
        if kind == 'pmrc':
            out.append(" %sm Stopp Prognose Dekozeit (PMRC):%s" % (I2(st), F(Tr, 6, 2)))
        elif not corrected:
            label = " (100 O2)" if st <= 6 else ""
            out.append(" %sm Stopp Prognose Dekozeit%s:%s" % (I2(st), label, F(Tr, 6, 2)))
        else:
            out.append(" %sm Stopp Prognose Dekozeit ( OC ):%s" % (I2(st), F(Tr, 6, 2)))
            if Tr >= 15.0:
                AB = 5 * int(Tr / 15.0) + 1
                SUMAB += AB
                out.append(" %sm Stopp Prognose Dekozeit (OC): %s  + AIRBREAK!: %3d" % (I2(st), F(Tr, 6, 2), AB))
        for i in range(16):
            pn[i] = (pn[i] - PiN2) * dexp(-(kn[i] * T)) + PiN2
            ph[i] = (ph[i] - PiHe) * dexp(-(kh[i] * T)) + PiHe
            ps[i] = pn[i] + ph[i]
        st -= 3
    Dt = float(int(s.DEPTH / s.ASCRATE))
    out.append(" TTS = %s" % F(SUM + Dt, 7, 2))
    if SUMAB + Dt > SUM + Dt:
        out.append(" TTS + AIRBREAKs = %s" % F(SUMAB + Dt, 7, 2))
    return out


def pmrc(s):
    return ["  Deko Prognose nach PMRC: "] + schedule(s, 'pmrc')


def oc(s):
    return (["  OC Deko Prognose, 100% O2 ab 6m:"] + schedule(s, 'oc') +
            ["  OC Deko Prognose, mit Sauerstoff-Korrekturfaktoren:"] + schedule(s, 'oc', True))


def dive(depth, time, FO2=None, FHE=None):
    s = State()
    s.ASCRATE = 9.0
    s.LATENCY = 'N'
    if FO2 is not None:
        s.FO2, s.FHE = FO2, FHE
        s.FN2 = rd((D(1) - dd(FO2)) - dd(FHE))
    s.oxygen_step('X')
    s.d(depth, time)
    return s


def one_loaded(i, P):
    """The surface tensions at 10 m, compartment i (1 to 16) with nitrogen P only."""
    s = State()
    s.ASCRATE = 9.0
    s.LATENCY = 'N'
    s.DEPTH = 10.0
    s.PN2[i - 1] = P
    s.PHE[i - 1] = 0.0
    return s


def show(title, lines):
    print('== ' + title)
    print('\n'.join(lines))


if __name__ == '__main__':
    s = dive(24.0, 40.0)
    show('air-24m-40min-pmrc-and-oc', pmrc(s) + oc(s) + pmrc(s))
    s = dive(10.0, 10.0)
    lines = pmrc(s) + oc(s)
    s.LATENCY = 'Y'
    lines += oc(s)
    s.ASCRATE = 1.0
    show('air-10m-10min-no-stops-pmrc-and-oc', lines + pmrc(s) + oc(s))
    s = dive(50.0, 40.0)
    lines = pmrc(s) + oc(s)
    s.LATENCY = 'Y'
    show('air-50m-40min-pmrc-and-oc-with-latency', lines + oc(s))
    s = dive(60.0, 20.0, 0.18, 0.45)
    lines = pmrc(s) + oc(s)
    s.LATENCY = 'Y'
    show('trimix-60m-20min-pmrc-and-oc', lines + oc(s))
    s = dive(20.0, 20.0)
    s.d(4.01, 1.0)
    show('air-20m-20min-pmrc-and-oc-just-deeper-than-4m', pmrc(s) + oc(s))
    RG = (998.403 * 9.80665) / 100000
    for i in (1, 5, 9, 10, 16):
        P = (2.95 * RG + 1.013) / BN2[i - 1] + AN2[i - 1]
        show('PMRC, compartment %d with the plain ceiling 2.95 m' % i, pmrc(one_loaded(i, P)))
    for i in (1, 9, 10):
        M0 = 1.013 / BN2[i - 1] + AN2[i - 1]
        show('PMRC, compartment %d just below its surface M-value' % i, pmrc(one_loaded(i, M0 - 0.001)))
