#pragma once

#include <QString>

// The required-votes rule: how many "for" ballots adopt a decision under each of the seven
// decision rules of the vote set-up, from the deputies present (P), the number elected (E)
// and the number established by law (Z). Pure functions; the dialog only shows and stores
// what they return.
namespace reshenie {

constexpr int ChisloPravil = 7;

// Caption of decision rule 1..7 as the dialog shows it before the number is appended, and as
// golosovanie.regim stores it.
QString podpisPravila(int pravilo);

// Votes needed under rule 1..7 (0 for a rule outside 1..7):
//   1  P div 2 + 1        majority of those present
//   2  Z div 2 + 1        majority of the number established by law
//   3  ceil(2Z / 3)       two thirds of the established number
//   4  E div 2 + 1        majority of the number elected
//   5  ceil(Z / 3)        a third of the established number
//   6  ceil(P / 3)        a third of those present
//   7  ceil(E / 3)        a third of the number elected
// div truncates toward zero and ceil rounds up, both also for negative counts.
int nuzhnoGolosov(int pravilo, int prisutstvuet, int isbrano, int zakon);

// A caption with its number appended: "<caption> (<n>)".
QString sChislom(const QString &podpis, int n);
// The caption without the appended number: cut at the first "(" together with the blank
// before it; a caption without "(" is returned whole.
QString bezChisla(const QString &podpis);
// Whether a radio button with this caption stands for the stored rule text `regim`: equal as
// they stand, or equal once the number is cut off.
bool sovpadaet(const QString &podpis, const QString &regim);

}  // namespace reshenie
