// cofactor3.h - the cofactor matrix of a 3x3 matrix: the transpose of its adjugate, so that
// cofactor / determinant is the inverse-transpose that carries normals. It stays defined for a
// singular matrix, and up to a positive scale it already is the normal transform when the
// determinant is positive.
#pragma once

// `at(i, j)` reads row i, column j of the matrix; `out(i, j)` receives the cofactor there.
template <typename At, typename Out>
void cofactor3(At at, Out out) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            out(i, j) = at(i1, j1) * at(i2, j2) - at(i1, j2) * at(i2, j1);
        }
    }
}
