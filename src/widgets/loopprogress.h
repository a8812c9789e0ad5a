#pragma once

class QLabel;
class QProgressBar;

// The progress bar (0 to 100) and the "i of n" label of a loop over the
// selection list.

// The position after file i of n: i * step, with step = 100 / n held in
// single precision and the product taken in double, rounded to the nearest
// integer, halves to even. (A product in single precision rounds 9 of 24,
// just below 37.5, up to 37.5 and shows 38.)
int progressPosition(int i, int n);
// Shows file done of total ("0 of 0" and an empty bar before a loop).
void showProgress(QProgressBar* bar, QLabel* label, int done, int total);
// Lets pending window events (painting, input) run, so that the window stays
// live between two files of a loop.
void refreshform();
