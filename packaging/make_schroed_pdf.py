#!/usr/bin/env python3
"""Writes data/schroed.pdf, the short note on the Schroedinger equation that
the Help menu opens. Plain PDF 1.4 with the standard Helvetica fonts."""
import sys

TITLE = "The Schroedinger equation for one-electron atoms"
LINES = [
    ("H", "The equation"),
    ("T", "For one electron bound to a nucleus of charge Z the time-independent equation is"),
    ("M", "  -(hbar^2 / 2m) Laplacian psi  -  Z e^2 / (4 pi eps0 r) psi  =  E psi."),
    ("T", "Its bound solutions are labelled by three whole numbers:"),
    ("T", "  n = 1, 2, 3, ...     the principal quantum number (the shell),"),
    ("T", "  l = 0 .. n-1         the angular momentum quantum number (s, p, d, f, g, h ...),"),
    ("T", "  m = -l .. l          the magnetic quantum number."),
    ("H", "The solutions"),
    ("T", "Each solution is a product of a radial part and an angular part:"),
    ("M", "  psi(r, theta, phi) = R_nl(r) * Theta_lm(theta) * Phi_m(phi)."),
    ("T", "R_nl holds the associated Laguerre polynomial in rho = 2Zr / (n a0), with a0 = 0.52918 A,"),
    ("T", "times exp(-rho/2) and rho^l. It has n - l - 1 radial nodes (spheres where psi = 0)."),
    ("T", "Theta_lm is an associated Legendre function of cos(theta); Phi_m is cos(m phi) for"),
    ("T", "m > 0 and sin(|m| phi) for m < 0: the real orbitals px, py, dxy ... Together they have"),
    ("T", "l angular nodes (planes and cones through the nucleus)."),
    ("H", "The energy"),
    ("M", "  E_n = -2.1798736E-18 J * Z^2 / n^2     (-2.18 aJ for the H atom ground state)"),
    ("T", "It depends on n alone, so all n^2 states of a shell have the same energy. The kinetic"),
    ("T", "energy is -E and the potential energy 2E (the virial theorem for the Coulomb force)."),
    ("H", "What Vantrel draws"),
    ("T", "psi^2 is the probability density. Vantrel draws random points in a cube and keeps"),
    ("T", "each one with a probability proportional to psi^2, so the cloud is dense where the"),
    ("T", "electron is likely to be found. The radial plot counts points by their distance r;"),
    ("T", "its theoretical curve is R^2 r^2, whose peak is the most probable radius (a0 / Z"),
    ("T", "for the 1s state). Colouring by nodes shows the sign of psi: the two colours meet"),
    ("T", "at the nodal surfaces."),
]


def esc(t):
    return t.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")


def page_stream():
    out = ["BT", "/F2 16 Tf", "56 790 Td", f"({esc(TITLE)}) Tj", "ET"]
    y = 760
    for kind, text in LINES:
        if kind == "H":
            y -= 10
            font = "/F2 12 Tf"
        elif kind == "M":
            font = "/F3 10 Tf"
        else:
            font = "/F1 10.5 Tf"
        out += ["BT", font, f"56 {y} Td", f"({esc(text)}) Tj", "ET"]
        y -= 17 if kind == "H" else 15
    return "\n".join(out).encode("latin-1")


def build():
    stream = page_stream()
    objs = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R "
        b"/Resources << /Font << /F1 5 0 R /F2 6 0 R /F3 7 0 R >> >> >>",
        b"<< /Length " + str(len(stream)).encode() + b" >>\nstream\n" + stream + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>",
    ]
    pdf = bytearray(b"%PDF-1.4\n")
    offsets = []
    for i, body in enumerate(objs, 1):
        offsets.append(len(pdf))
        pdf += f"{i} 0 obj\n".encode() + body + b"\nendobj\n"
    xref = len(pdf)
    pdf += f"xref\n0 {len(objs) + 1}\n0000000000 65535 f \n".encode()
    for off in offsets:
        pdf += f"{off:010d} 00000 n \n".encode()
    pdf += f"trailer\n<< /Size {len(objs) + 1} /Root 1 0 R >>\nstartxref\n{xref}\n%%EOF\n".encode()
    return bytes(pdf)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "data/schroed.pdf"
    with open(target, "wb") as f:
        f.write(build())
