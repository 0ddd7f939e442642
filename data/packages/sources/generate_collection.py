#!/usr/bin/env python3
"""Writes the recipe-collection package (eater types, technological cards, plan-menu).

    python3 data/packages/sources/generate_collection.py

Sources (every row has a `source` column, see README.md):
  collection_cards.csv   one row per card: number, name, dish category, kind of processing,
                         yield class, loss profile, technology and organoleptic texts
  collection_lines.csv   the card lines in order: product, nested dish, variant of a product or
                         of a nested dish, comment; gross and net grams per 100 g of dish
  collection_yields.csv  portion masses per eater type (1-3, 3-7, staff) per yield class
  collection_losses.csv  losses in cooking, %, of protein, fat, carbohydrates, energy and of
                         the vitamins and minerals, per loss profile
  collection_plan.csv    the 10-day plan-menu: cards per day and meal
  products.csv, eater_types.csv, vitamins.csv, meals.csv (shared with generate_packages.py)

The nutrition each card states is computed here by the program's own rule for a card: per
100 g of dish from the net weights, less the product's inedible share, each product line
reduced by the losses of the card that owns it (a nested dish keeps its own losses and counts
at its net weight), comment and variant lines left out, halves rounded to even.
"""
import csv
import os
import sys
from decimal import Decimal, ROUND_HALF_EVEN

from generate_packages import ARCHIVE, VITAMIN_COLUMNS, Xml, boolean, num, open_eater_type, read

HERE = os.path.dirname(os.path.abspath(__file__))
COLLECTION = "Сборник технологических карт для детского сада (ясли и сад)"
COLLECTION_SHORT = "Сборник ДС"
PLAN_MENU = "Основное меню Сезон: (осенне-зимний)"
OUT_NAME = "Сборник_ясли_сад.xml"
EATERS = [("1-3", "y1_3"), ("3-7", "y3_7"), ("Сотрудники", "staff")]
MAIN_EATER = "y3_7"  # the portion mass the card states its second column for (`vih`)


def rhe(x, digits):
    """Halves to the even neighbour on the decimal value of x as typed (15 significant digits)."""
    if x == 0:
        return 0.0
    d = Decimal("%.14e" % x)
    return float(d.quantize(Decimal(1).scaleb(-digits), rounding=ROUND_HALF_EVEN))


def value(text):
    """A figure as the program reads it back from the package."""
    text = (text or "").strip()
    return float(num(text).replace(",", ".")) if text else 0.0


def figure(x, digits):
    out = ("%.*f" % (digits, x)).rstrip("0").rstrip(".")
    return (out if out not in ("-0", "") else "0").replace(".", ",")


class Card:
    def __init__(self, row, losses, yields):
        self.number = row["number"]
        self.name = row["name"]
        self.row = row
        self.loss = losses[row["losses"]]
        self.yields = yields[row["yield_class"]]
        self.lines = []


def load():
    products = {p["pname"]: p for p in read("products.csv")}
    losses = {r["profile"]: r for r in read("collection_losses.csv")}
    yields = {r["class"]: r for r in read("collection_yields.csv")}
    cards = []
    by_number, by_name = {}, {}
    for r in read("collection_cards.csv"):
        if r["losses"] not in losses or r["yield_class"] not in yields:
            sys.exit("card %s: unknown loss profile or yield class" % r["number"])
        c = Card(r, losses, yields)
        if c.number in by_number or c.name in by_name:
            sys.exit("card %s: number or name used twice" % c.number)
        cards.append(c)
        by_number[c.number] = c
        by_name[c.name] = c
    for r in read("collection_lines.csv"):
        card = by_number.get(r["number"])
        if card is None:
            sys.exit("collection_lines.csv: unknown card %s" % r["number"])
        kind = r["kind"]
        if kind in ("product", "variant product") and r["name"] not in products:
            sys.exit("card %s: unknown product %s" % (card.number, r["name"]))
        if kind in ("dish", "variant dish") and r["name"] not in by_name:
            sys.exit("card %s: unknown dish %s" % (card.number, r["name"]))
        if kind not in ("product", "variant product", "dish", "variant dish", "comment"):
            sys.exit("card %s: unknown line kind %s" % (card.number, kind))
        card.lines.append(r)
    return products, cards, by_number, by_name


def nutrition(card, products, by_name, vitamins):
    """The card's values per 100 g: the four macronutrients (2 decimals) and the vitamins (4)."""
    owners, rows = [], {}

    def walk(c, f, depth, path):
        if c.name in path:
            sys.exit("card %s contains itself" % c.name)
        for line in c.lines:
            if line["kind"] == "dish":
                walk(by_name[line["name"]], value(line["netto"]) * f / 100.0, depth + 1, path + [c.name])
            elif line["kind"] == "product":
                netto = value(line["netto"])
                w = netto if depth == 0 else rhe(netto * f / 100.0, 3)
                if c.name not in rows:
                    owners.append(c)
                    rows[c.name] = []
                rows[c.name].append((line["name"], w))

    walk(card, 100.0, 0, [])
    macros = [("fat", "pr_fat"), ("protein", "pr_protein"), ("carbohyd", "pr_carbohyd"), ("calories", "pr_call")]
    t = {m: 0.0 for m, _ in macros}
    tv = {v: 0.0 for v in vitamins}
    for owner in owners:
        a = {m: 0.0 for m, _ in macros}
        av = {v: 0.0 for v in vitamins}
        for pname, w in rows[owner.name]:
            p = products[pname]
            edible = (100.0 - value(p["procNe"])) / 100.0
            for m, _ in macros:
                a[m] += edible * value(p[m]) * w / 100.0
            for v in vitamins:
                if p[v].strip() != "":
                    av[v] = rhe(av[v] + edible * value(p[v]) * w / 100.0, 4)
        for m, loss in macros:
            t[m] = rhe(t[m] + (100.0 - value(owner.loss[loss])) * a[m] / 100.0, 2)
        for v in vitamins:
            tv[v] = rhe(tv[v] + (100.0 - value(owner.loss[v])) * av[v] / 100.0, 4)
    return {m: rhe(t[m], 2) for m, _ in macros}, tv


def product_description(x, p):
    x.open("product")
    x.item("ed_izmer", [("ename", p["unit"]), ("koef", num(UNITS[p["unit"]]))])
    x.item("product_group", [("pname", p["product_group"])])
    for col in ("protein", "fat", "carbohyd", "calories", "time_storage", "time_period"):
        x.text(col, num(p[col]))
    x.text("schif", p["schif"])
    for col in ("plpris", "rule_okr", "procNe"):
        x.text(col, num(p[col]))
    vits = [(c, p[c]) for c in VITAMIN_COLUMNS if p[c].strip() != ""]
    if vits:
        x.open("vitamin_quantitys")
        for shname, q in vits:
            x.item("vitamin_quantity", [("shname", shname), ("quantity", num(q))])
        x.close("vitamin_quantitys")
    x.close("product")


UNITS = {u["ename"]: u["koef"] for u in read("units.csv")}


def main():
    products, cards, by_number, by_name = load()
    vitamins = [v["shname"] for v in read("vitamins.csv") if boolean(v["ispCard"]) == "true"]
    meal_times = {m["ename"]: m["time"] for m in read("meals.csv")}

    x = Xml()
    x.open("entities")
    x.text("name", COLLECTION)
    x.comment("Recipe-collection package of the standard data. Generated by sources/generate_collection.py "
              "from sources/collection_*.csv, where every card and line carries its origin; the nutrition "
              "of each card is computed from products.csv by the program's card calculation.")
    for t in read("eater_types.csv"):
        open_eater_type(x, t)
        x.close("type_eating")

    for card in cards:
        r = card.row
        macros, vits = nutrition(card, products, by_name, vitamins)
        vih = card.yields[MAIN_EATER]
        x.open("recipe")
        x.text("id", card.number)
        x.text("name", card.name)
        x.text("number", card.number)
        x.text("numrec", card.number)
        x.text("type", r["type"])
        x.text("sub-type", r["sub_type"])
        x.item("author", [("namev", COLLECTION), ("namesh", COLLECTION_SHORT)])
        x.text("instructions", r["instructions"])
        x.text("orgocen", r["orgocen"])
        x.open("nutrition")
        for m in ("protein", "fat", "carbohyd", "calories"):
            x.text(m, figure(macros[m], 2))
        for col in ("pr_protein", "pr_fat", "pr_carbohyd", "pr_call"):
            x.text(col, num(card.loss[col]))
        x.text("vih", num(vih))
        for v in vitamins:
            x.item("vitamin", [("shname", v), ("kol", figure(vits[v], 4)), ("kolpr", num(card.loss[v]))])
        x.close("nutrition")
        for shname, col in EATERS:
            x.item("weight", [("type", shname), ("period", ""), ("output1", num(card.yields[col])),
                              ("output2", "0"), ("output3", "0")])
        x.text("complect", "")
        for line in card.lines:
            kind = line["kind"]
            x.open("ingredient")
            if kind == "comment":
                x.text("isComment", "true")
                x.text("comment", line["comment"])
                x.close("ingredient")
                continue
            nested = kind in ("dish", "variant dish")
            variant = kind.startswith("variant")
            x.text("name", line["name"])
            x.text("isCard", "1" if nested else "0")
            x.text("isComment", "false")
            x.text("isVariant", "true" if variant else "false")
            if nested:
                inner = by_name[line["name"]]
                x.text("Vloj_Number", inner.number)
                x.text("Vloj_Numrec", inner.number)
            if variant:
                x.text("MainCard", line["main"])
                main_card = by_name.get(line["main"]) if kind == "variant dish" else None
                x.text("MainCard_Number", main_card.number if main_card else "")
                x.text("MainCard_Numrec", main_card.number if main_card else "")
            for col in ("brutto", "netto"):
                x.text(col, num(line[col]))
            x.text("brutto2", "0")
            x.text("netto2", "0")
            x.text("vih_kol", "100")
            if not nested:
                product_description(x, products[line["name"]])
            x.close("ingredient")
        x.close("recipe")

    x.open("plans")
    days = []
    for row in read("collection_plan.csv"):
        if row["meal"] not in meal_times:
            sys.exit("collection_plan.csv: unknown meal %s" % row["meal"])
        if row["day"] not in days:
            days.append(row["day"])
        for number in row["cards"].split(";"):
            card = by_number.get(number.strip())
            if card is None:
                sys.exit("collection_plan.csv: unknown card %s" % number)
            x.open("planStr")
            x.text("type_menu_Name", PLAN_MENU)
            x.text("day", row["day"])
            x.item("eating", [("ename", row["meal"]), ("time", meal_times[row["meal"]])])
            x.item("type_meal", [("tname", card.row["type"])])
            x.item("cards", [("cname", card.name), ("number", card.number), ("numrec", card.number)])
            x.close("planStr")
    x.close("plans")
    x.close("entities")
    out_dir = os.path.join(HERE, "..", ARCHIVE)
    x.write(os.path.join(out_dir, OUT_NAME))
    print("%s: %d cards, %d plan days" % (OUT_NAME, len(cards), len(days)))


if __name__ == "__main__":
    main()
