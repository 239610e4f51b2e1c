"""What the end-to-end runners check saved drawings with, read by ezdxf: a list of
failures to collect into, and the entities a run added."""
from ezdxf.math import Vec3


class Failures(list):
    def expect(self, condition, message):
        if not condition:
            self.append(message)

    def near(self, got, want, what):
        ok = Vec3(got).isclose(Vec3(want), abs_tol=1e-9)
        self.expect(ok, f"{what}: {tuple(Vec3(got))} instead of {tuple(Vec3(want))}")


def by_handle(doc):
    return {e.dxf.handle: e for e in doc.modelspace()}


def added(original, saved):
    """The model-space entities of saved that original did not have, in saved's order."""
    before = by_handle(original)
    return [e for e in saved.modelspace() if e.dxf.handle not in before]
