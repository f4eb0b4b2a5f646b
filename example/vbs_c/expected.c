/* Translated from a BASIC-style script by the example schema. */
#include <stdio.h>

static inline void zr_print_long(long v) { printf("%ld", v); }
static inline void zr_print_real(double v) { printf("%g", v); }
static inline void zr_print_text(const char *v) { fputs(v ? v : "", stdout); }
#define zr_print(v) _Generic((v), char *: zr_print_text, const char *: zr_print_text, float: zr_print_real, double: zr_print_real, default: zr_print_long)(v)
static inline void zr_tab(void) { putchar('\t'); }
static inline void zr_newline(void) { putchar('\n'); }

/* reallife.inc - one day in a small bicycle shop, written in the script */
/* language that the example schema (s.txt) translates into C. */
/* */
/* Money is counted in cents, so the sums stay whole numbers; only the loan */
/* plan at the end needs fractions. */
#define shop_name ("Velo and Sons")
#define vat_percent (19)
#define opening_stock (40)
#define reorder_level (12)
#define bike_price (49900) /* cents */
#define light_price (1995)
static int stock = 0;
static int soldtoday = 0;
static long revenue = 0;
static int customers = 0;
static int verbose = 0;
static double principal = 0;
static double monthlyrate = 0;
static double repayment = 0;
static int month = 0;
static int n = 0;
static int found = 0;
static long till = 0;

static void rule(int width);
static void printmoney(long cents);
static void moneyline(const char * label, long cents);
static void bar(const char * label, int units);
static long vatof(long gross);
static int gcd(int a, int b);
static int isprime(int n);
static int collatzsteps(long n);
static int discountpercent(int bikes);
static const char * grade(int score);
static void sell(const char * customer, int bikes, int lights);
static void survey(void);

/* ----------------------------------------------------------------------------- */
/* Printing helpers */
/* A line of dashes as wide as asked. */
static void rule(int width)
{
   int k = 0;
   for (k = 1; k <= width; k++) {
      zr_print("-");
   }
   zr_newline();
}

/* Cents as euros with two decimals, without a line break. */
static void printmoney(long cents)
{
   int rest = 0;
   if (cents < 0) {
      zr_print("-");
      cents = -cents;
   }
   rest = cents % 100;
   zr_print(cents / 100); zr_print(".");
   if (rest < 10) {
      zr_print("0");
   }
   zr_print(rest);
}

/* A label, a tab and an amount of money on one line. */
static void moneyline(const char * label, long cents)
{
   zr_print(label); zr_tab();
   printmoney(cents);
   zr_print(" EUR"); zr_newline();
}

/* A horizontal bar of stars, one star per unit. */
static void bar(const char * label, int units)
{
   int k = 0;
   zr_print(label); zr_print(" ");
   for (k = 1; k <= units; k++) {
      zr_print("*");
   }
   zr_print(" ("); zr_print(units); zr_print(")"); zr_newline();
}

/* ----------------------------------------------------------------------------- */
/* Arithmetic */
/* The VAT contained in a gross price, rounded down to whole cents. */
static long vatof(long gross)
{
   long vatof_result = 0;
   vatof_result = gross * vat_percent / (100 + vat_percent);
   return vatof_result;
}

/* Greatest common divisor, the recursive way. */
static int gcd(int a, int b)
{
   int gcd_result = 0;
   if (b == 0) {
      gcd_result = a;
   } else {
      gcd_result = gcd(b, a % b);
   }
   return gcd_result;
}

/* True when n has no divisor between 2 and its square root. */
static int isprime(int n)
{
   int isprime_result = 0;
   int d = 0;
   isprime_result = 0;
   if (n < 2) {
      return isprime_result;
   }
   d = 2;
   while (d * d <= n) {
      if (n % d == 0) {
         return isprime_result;
      }
      d = d + 1;
   }
   isprime_result = 1;
   return isprime_result;
}

/* Steps of the Collatz walk from n down to 1. */
static int collatzsteps(long n)
{
   int collatzsteps_result = 0;
   int steps = 0;
   steps = 0;
   while (n != 1) {
      if (n % 2 == 0) {
         n = n / 2;
      } else {
         n = 3 * n + 1;
      }
      steps = steps + 1;
   }
   collatzsteps_result = steps;
   return collatzsteps_result;
}

/* Discount in percent for the number of bikes in one order. */
static int discountpercent(int bikes)
{
   int discountpercent_result = 0;
   switch (bikes) {
   case 0: case 1:
      discountpercent_result = 0;
      break;
   case 2 ... 9:
      discountpercent_result = 5;
      break;
   default:
      discountpercent_result = 10;
      break;
   }
   return discountpercent_result;
}

/* A school-style mark for a satisfaction score of 0 to 100. */
static const char * grade(int score)
{
   const char * grade_result = 0;
   if (score >= 90) {
      grade_result = "excellent";
   } else if (score >= 75) {
      grade_result = "good";
   } else if (score >= 50) {
      grade_result = "fair";
   } else {
      grade_result = "poor";
   }
   return grade_result;
}

static void sell(const char * customer, int bikes, int lights)
{
   long total = 0;
   customers = customers + 1;
   if (bikes > stock) {
      zr_print(customer); zr_print(": only "); zr_print(stock); zr_print(" bikes left, order cut"); zr_newline();
      bikes = stock;
   }
   total = bikes * bike_price + lights * light_price;
   total = total - total * discountpercent(bikes) / 100;
   stock = stock - bikes;
   soldtoday = soldtoday + bikes;
   revenue = revenue + total;
   if (verbose && total > 0) {
      moneyline(customer, total);
   } else if (total == 0) {
      zr_print(customer); zr_print(" only had a look"); zr_newline();
   }
}

static void survey(void)
{
   int score = 0;
   int happy = 0;
   happy = 0;
   for (score = 40; score <= 100; score += 15) {
      bar(grade(score), score / 10);
      if (!(score < 50)) {
         happy = happy + 1;
      }
   }
   zr_print("Happy answers: "); zr_print(happy); zr_newline();
}

int main(void)
{
   /* ----------------------------------------------------------------------------- */
   /* The shop opens. */
   stock = opening_stock;
   soldtoday = 0;
   revenue = 0;
   customers = 0;
   verbose = 1;
   zr_print("Welcome to "); zr_print(shop_name); zr_newline();
   rule(32);
   /* Sales of the day: every order names bikes and lights. */
   sell("Mrs Baker", 2, 2);
   sell("Tom", 1, 0);
   sell("The Riders Club", 12, 12);
   sell("Passer-by", 0, 0);
   sell("School of Cycling", 30, 5);
   rule(32);
   moneyline("Revenue", revenue);
   moneyline("of it VAT", vatof(revenue));
   zr_print("Bikes sold:"); zr_tab(); zr_print(soldtoday); zr_newline();
   zr_print("Customers:"); zr_tab(); zr_print(customers); zr_newline();
   zr_print("Stock left:"); zr_tab(); zr_print(stock); zr_newline();
   /* Reorder in boxes of five until the stock is back above the level. */
   if (stock < reorder_level) {
      int boxes = 0;
      boxes = 0;
      do {
         stock = stock + 5;
         boxes = boxes + 1;
      } while (!(stock >= reorder_level));
      zr_print("Reordered "); zr_print(boxes); zr_print(" boxes, stock now "); zr_print(stock); zr_newline();
   } else {
      zr_print("No reorder needed"); zr_newline();
   }
   /* ----------------------------------------------------------------------------- */
   /* A loan for the new workshop: equal repayments, interest on what is left. */
   principal = 12000;
   monthlyrate = 0.045 / (double) 12;
   repayment = 1500;
   zr_newline();
   zr_print("Loan plan"); zr_newline();
   month = 0;
   while (principal > 0) {
      month = month + 1;
      principal = principal + principal * monthlyrate;
      if (principal < repayment) {
         repayment = principal;
      }
      principal = principal - repayment;
      if (month % 2 == 1 || principal == 0) {
         zr_print("  month "); zr_print(month); zr_print(": paid "); zr_print(repayment); zr_print(", left "); zr_print(principal); zr_newline();
      }
   }
   /* ----------------------------------------------------------------------------- */
   /* Numbers for the notice board. */
   zr_newline();
   zr_print("Lucky numbers (primes) below 40:"); zr_newline();
   found = 0;
   for (n = 1; n <= 40; n++) {
      if (isprime(n)) {
         zr_print(" "); zr_print(n);
         found = found + 1;
      }
   }
   zr_newline();
   zr_print("That makes "); zr_print(found); zr_print(" of them."); zr_newline();
   zr_print("Countdown to closing time:");
   for (n = 10; n >= 0; n -= 2) {
      zr_print(" "); zr_print(n);
   }
   zr_newline();
   zr_print("Boxes of 12 and 18 share a size of "); zr_print(gcd(12, 18)); zr_newline();
   zr_print("Collatz walk from 27 takes "); zr_print(collatzsteps(27)); zr_print(" steps"); zr_newline();
   /* The first number whose walk is longer than 100 steps. */
   n = 1;
   do {
      n = n + 1;
      if (collatzsteps(n) > 100) {
         break;
      }
   } while (1);
   zr_print("First walk over 100 steps starts at "); zr_print(n); zr_newline();
   /* ----------------------------------------------------------------------------- */
   /* Customer satisfaction, one bar per survey answer. */
   zr_newline();
   zr_print("Survey"); zr_newline();
   survey();
   /* A last check: the till and the books must agree. */
   till = revenue;
   while (till > 0) {
      if (till > 100000) {
         till = till - 100000;
      } else {
         till = 0;
      }
   }
   if (till == 0 && verbose) {
      zr_print("Books closed for "); zr_print(shop_name); zr_newline();
   }
   return 0;
}
