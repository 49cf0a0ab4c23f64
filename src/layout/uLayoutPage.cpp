#include "uLayoutPage.h"

int PageWidth = 210;
int PageHeight = 148;
