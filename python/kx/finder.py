"""The results of kx.findrelation, kx.findpoly and kx.identify: lists of
Python ints that also carry how far to trust them."""


class Relation(list):
    """The integers of a relation, with .confidence (digits of the input left
    over after the relation's own), .residual (|sum of r[i]*x[i]| as a
    kx.real) and .doubtful (confidence below 5 digits: a relation of that
    size can appear by chance)."""

    def __init__(self, integers, confidence, residual, doubtful):
        super().__init__(integers)
        self.confidence = confidence
        self.residual = residual
        self.doubtful = doubtful

    def __repr__(self):
        return "%s(%s, confidence=%.1f%s)" % (
            type(self).__name__, list.__repr__(self), self.confidence, ", doubtful" if self.doubtful else "")


class Polynomial(Relation):
    """A polynomial's integer coefficients, highest degree first; str() is
    the polynomial, as "x^3 - x - 1"."""

    def __init__(self, integers, confidence, residual, doubtful, text):
        super().__init__(integers, confidence, residual, doubtful)
        self.text = text

    def __str__(self):
        return self.text


class Identification(Relation):
    """The integers of a relation among x, 1 and constants; .formula (and
    str()) is x solved from it, as "x = 3/4*pi - 1/2*log(2)"."""

    def __init__(self, integers, confidence, residual, doubtful, formula):
        super().__init__(integers, confidence, residual, doubtful)
        self.formula = formula

    def __str__(self):
        return self.formula
