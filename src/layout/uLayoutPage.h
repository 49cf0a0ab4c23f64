#pragma once

/// The blank's size in whole millimetres (an A5 sheet in landscape by default).
extern int PageWidth;
extern int PageHeight;
