03200.00 0100-0200 Kestrel World Radio    AS       English           250 kW  0119S 03649E 000000100 Kestrelia   
03200.00 0430-0550 Radio Aurelia          EU       English           10 kW   4812N 01622E 000100000 Aurelia     
03210.00 1500-1700 Radio Aurelia          CA/NA    French            250 kW  4812N 01622E 110000000 Aurelia     
03220.00 0730-0830 Maple Shore Radio      CA       English           100 kW  4540N 07542W 010000000 Mapleland   
03220.00 1000-1030 Radio Desert Star      NA       English           250 kW  2417N 05422E 100000000 Qasirah     
03225.00 0200-0300 Radio Costa Brava Int  EU/SA    Spanish           10 kW   4125N 00210E 001100000 Miravia     
03225.00 2230-2350 Radio Aurelia          EU       German            50 kW   4812N 01622E 000100000 Aurelia     
03235.00 1230-1330 Radio Desert Star      AU       Arabic            500 kW  2417N 05422E 000000010 Qasirah     
03240.00 1100-1130 Kestrel World Radio    AS       Swahili           500 kW  0119S 03649E 000000100 Kestrelia   
03240.00 1700-1800 Radio Costa Brava Int  SA       English           500 kW  4125N 00210E 001000000 Miravia     
03245.00 1200-1300 Southern Cross Radio   ME       English           500 kW  3352S 15112E 000001000 Austrel     
03245.00 1900-1930 Kestrel World Radio    PA       Swahili           100 kW  0119S 03649E 000000001 Kestrelia   
03255.00 0230-0300 Kestrel World Radio    CA/ME    Swahili           250 kW  0119S 03649E 010001000 Kestrelia   
03265.00 1100-1300 Radio Lotus Bay        AU       English           500 kW  2218N 11410E 000000010 Lotus Bay   
03265.00 1200-1320 Radio Costa Brava Int  CA/NA    English           500 kW  4125N 00210E 110000000 Miravia     
03265.00 1300-1330 Radio Costa Brava Int  NA       English           250 kW  4125N 00210E 100000000 Miravia     
03265.00 2330-0050 Radio Desert Star      AF       Arabic            300 kW  2417N 05422E 000010000 Qasirah     
03275.00 0630-0700 Radio Costa Brava Int  AU/PA    English           300 kW  4125N 00210E 000000011 Miravia     
03275.00 1630-1830 Radio Costa Brava Int  EU/AF    English           100 kW  4125N 00210E 000110000 Miravia     
03280.00 0300-0400 Maple Shore Radio      AS/PA    French            50 kW   4540N 07542W 000000101 Mapleland   
03280.00 2300-0000 Radio Costa Brava Int  NA       English           10 kW   4125N 00210E 100000000 Miravia     
03285.00 0830-0950 Kestrel World Radio    PA/ME    Swahili           10 kW   0119S 03649E 000001001 Kestrelia   
03290.00 0600-0700 Radio Lotus Bay        SA       English           50 kW   2218N 11410E 001000000 Lotus Bay   
03295.00 1100-1220 Maple Shore Radio      AF       English           100 kW  4540N 07542W 000010000 Mapleland   
03300.00 0900-1020 Maple Shore Radio      AU       French            250 kW  4540N 07542W 000000010 Mapleland   
03315.00 1930-2030 Radio Isla Verde       AF/PA    Spanish           500 kW  1828N 06604W 000010001 Isla Verde  
03315.00 2200-2300 Radio Costa Brava Int  NA       English           250 kW  4125N 00210E 100000000 Miravia     
03315.50 0600-0800 Voz del Altiplano      ME       Spanish           50 kW   1630S 06809W 000001000 Altiplano   
03320.50 1630-1730 Sahel Broadcasting Svc ME/AS    French            100 kW  1239N 00759W 000001100 Sahelia     
03335.00 0300-0500 Radio Costa Brava Int  CA       English           50 kW   4125N 00210E 010000000 Miravia     
03340.00 1830-1930 Sahel Broadcasting Svc AU       English           500 kW  1239N 00759W 000000010 Sahelia     
03350.00 1900-2000 Sahel Broadcasting Svc EU       Hausa             500 kW  1239N 00759W 000100000 Sahelia     
03360.00 1800-1830 Radio Lotus Bay        ME       Chinese           100 kW  2218N 11410E 000001000 Lotus Bay   
03360.00 2300-2330 Radio Costa Brava Int  AF/SA    English           500 kW  4125N 00210E 001010000 Miravia     
03360.00 2330-0030 Sahel Broadcasting Svc PA       Hausa             250 kW  1239N 00759W 000000001 Sahelia     
03365.00 0730-0830 Kestrel World Radio    PA       English           100 kW  0119S 03649E 000000001 Kestrelia   
03370.00 0100-0220 Kestrel World Radio    AS       English           500 kW  0119S 03649E 000000100 Kestrelia   
03375.00 0200-0300 Maple Shore Radio      SA       French            100 kW  4540N 07542W 001000000 Mapleland   
03380.00 1600-1700 Kestrel World Radio    ME       English           250 kW  0119S 03649E 000001000 Kestrelia   
03385.00 0430-0530 Voice of Nordhavn      CA/AS    English           300 kW  6010N 02456E 010000100 Nordhavn    
03385.00 0900-1100 Maple Shore Radio      AU       French            500 kW  4540N 07542W 000000010 Mapleland   
03390.00 0430-0550 Kestrel World Radio    CA/SA    Swahili           250 kW  0119S 03649E 011000000 Kestrelia   
03390.00 1600-1700 Radio Aurelia          AU       German            300 kW  4812N 01622E 000000010 Aurelia     
03395.00 0130-0230 Pacific Atoll Radio    SA       English           100 kW  0131N 17300E 001000000 Atollia     
03395.00 1000-1120 Voice of Nordhavn      NA/SA    Finnish           300 kW  6010N 02456E 101000000 Nordhavn    
03395.00 1200-1230 Radio Lotus Bay        SA/NA    English           100 kW  2218N 11410E 101000000 Lotus Bay   
03395.00 2000-2100 Sahel Broadcasting Svc PA       French            50 kW   1239N 00759W 000000001 Sahelia     
03900.00 2330-0030 Kestrel World Radio    PA/NA    English           100 kW  0119S 03649E 100000001 Kestrelia   
03905.00 1500-1620 Maple Shore Radio      NA       French            300 kW  4540N 07542W 100000000 Mapleland   
03910.00 1930-2030 Voice of Nordhavn      AF       English           100 kW  6010N 02456E 000010000 Nordhavn    
03915.50 1100-1130 Voice of Nordhavn      AU       Finnish           100 kW  6010N 02456E 000000010 Nordhavn    
03920.00 1830-2030 Radio Aurelia          NA       French            100 kW  4812N 01622E 100000000 Aurelia     
03925.00 0000-0030 Radio Lotus Bay        SA       Chinese           50 kW   2218N 11410E 001000000 Lotus Bay   
03930.00 1500-1600 Radio Lotus Bay        CA/ME    English           300 kW  2218N 11410E 010001000 Lotus Bay   
03930.50 0700-0900 Voice of Nordhavn      AU       Finnish           100 kW  6010N 02456E 000000010 Nordhavn    
03930.50 2030-2130 Pacific Atoll Radio    NA       English           100 kW  0131N 17300E 100000000 Atollia     
03940.00 0330-0400 Radio Lotus Bay        NA/EU    Chinese           100 kW  2218N 11410E 100100000 Lotus Bay   
03940.00 0800-0900 Voz del Altiplano      NA/AU    Quechua           300 kW  1630S 06809W 100000010 Altiplano   
03945.00 0300-0500 Radio Aurelia          NA       French            100 kW  4812N 01622E 100000000 Aurelia     
03950.00 0730-0850 Pacific Atoll Radio    NA/AS    English           300 kW  0131N 17300E 100000100 Atollia     
03950.00 2230-2350 Radio Desert Star      PA       English           300 kW  2417N 05422E 000000001 Qasirah     
03955.00 0400-0500 Radio Desert Star      AS       Arabic            50 kW   2417N 05422E 000000100 Qasirah     
03955.00 1100-1220 Radio Isla Verde       AF       Spanish           500 kW  1828N 06604W 000010000 Isla Verde  
03955.00 1530-1630 Radio Costa Brava Int  AU/ME    Spanish           250 kW  4125N 00210E 000001010 Miravia     
03955.00 2300-0020 Southern Cross Radio   SA       English           10 kW   3352S 15112E 001000000 Austrel     
03960.00 0900-1000 Southern Cross Radio   ME       English           50 kW   3352S 15112E 000001000 Austrel     
03970.00 2200-2300 Radio Lotus Bay        SA       Chinese           10 kW   2218N 11410E 001000000 Lotus Bay   
03980.00 0230-0430 Voz del Altiplano      AS       Quechua           50 kW   1630S 06809W 000000100 Altiplano   
03985.00 2030-2130 Sahel Broadcasting Svc NA/PA    French            100 kW  1239N 00759W 100000001 Sahelia     
03990.00 0030-0130 Voz del Altiplano      EU/NA    Quechua           300 kW  1630S 06809W 100100000 Altiplano   
03990.00 0600-0700 Voice of Nordhavn      NA       English           250 kW  6010N 02456E 100000000 Nordhavn    
03990.00 0800-0920 Maple Shore Radio      ME       English           300 kW  4540N 07542W 000001000 Mapleland   
03990.00 2200-2300 Voz del Altiplano      CA/AS    Spanish           250 kW  1630S 06809W 010000100 Altiplano   
03995.00 0400-0600 Radio Aurelia          NA/AF    French            10 kW   4812N 01622E 100010000 Aurelia     
03995.00 0700-0800 Radio Aurelia          AS/ME    English           500 kW  4812N 01622E 000001100 Aurelia     
04000.00 0430-0530 Voz del Altiplano      NA       Quechua           50 kW   1630S 06809W 100000000 Altiplano   
04000.00 1700-1800 Voz del Altiplano      CA/AU    Quechua           50 kW   1630S 06809W 010000010 Altiplano   
04750.00 1700-1820 Southern Cross Radio   NA       English           100 kW  3352S 15112E 100000000 Austrel     
04755.00 0400-0500 Radio Aurelia          EU/NA    German            250 kW  4812N 01622E 100100000 Aurelia     
04760.00 0930-1030 Radio Isla Verde       AU       Spanish           50 kW   1828N 06604W 000000010 Isla Verde  
04780.00 0000-0100 Southern Cross Radio   AF       English           100 kW  3352S 15112E 000010000 Austrel     
04785.00 0200-0300 Radio Lotus Bay        SA/AF    English           100 kW  2218N 11410E 001010000 Lotus Bay   
04785.00 0600-0800 Radio Desert Star      NA       Arabic            10 kW   2417N 05422E 100000000 Qasirah     
04790.00 1200-1230 Voz del Altiplano      CA/EU    Spanish           50 kW   1630S 06809W 010100000 Altiplano   
04830.00 0900-1100 Radio Lotus Bay        SA/AS    English           250 kW  2218N 11410E 001000100 Lotus Bay   
04845.00 0430-0630 Sahel Broadcasting Svc CA/ME    Hausa             100 kW  1239N 00759W 010001000 Sahelia     
04855.00 0900-1000 Radio Desert Star      AF/SA    Arabic            50 kW   2417N 05422E 001010000 Qasirah     
04855.00 1600-1720 Maple Shore Radio      EU       French            300 kW  4540N 07542W 000100000 Mapleland   
04855.00 1630-1730 Southern Cross Radio   CA       English           250 kW  3352S 15112E 010000000 Austrel     
04855.00 1900-2100 Radio Costa Brava Int  PA/AF    English           300 kW  4125N 00210E 000010001 Miravia     
04855.50 1000-1120 Southern Cross Radio   AS       English           100 kW  3352S 15112E 000000100 Austrel     
04860.00 0030-0130 Voz del Altiplano      AS       Quechua           500 kW  1630S 06809W 000000100 Altiplano   
04885.00 0030-0150 Pacific Atoll Radio    AF       English           10 kW   0131N 17300E 000010000 Atollia     
04895.00 0330-0430 Radio Isla Verde       AU/SA    Spanish           300 kW  1828N 06604W 001000010 Isla Verde  
04895.00 2300-0000 Voice of Nordhavn      ME       Finnish           500 kW  6010N 02456E 000001000 Nordhavn    
04930.00 1000-1100 Maple Shore Radio      NA       French            500 kW  4540N 07542W 100000000 Mapleland   
04930.00 1630-1700 Voice of Nordhavn      CA/ME    English           500 kW  6010N 02456E 010001000 Nordhavn    
04935.00 0130-0330 Maple Shore Radio      PA/CA    French            250 kW  4540N 07542W 010000001 Mapleland   
04940.00 1600-1700 Voice of Nordhavn      SA       Finnish           10 kW   6010N 02456E 001000000 Nordhavn    
04955.50 1300-1400 Pacific Atoll Radio    SA       English           10 kW   0131N 17300E 001000000 Atollia     
04975.00 0500-0600 Southern Cross Radio   CA/AS    English           100 kW  3352S 15112E 010000100 Austrel     
04980.00 0200-0300 Radio Isla Verde       ME       Spanish           500 kW  1828N 06604W 000001000 Isla Verde  
04985.00 1630-1700 Pacific Atoll Radio    AF       English           10 kW   0131N 17300E 000010000 Atollia     
04995.00 2200-2230 Pacific Atoll Radio    AU/AF    English           10 kW   0131N 17300E 000010010 Atollia     
05010.00 1300-1500 Voice of Nordhavn      AU/AS    Finnish           50 kW   6010N 02456E 000000110 Nordhavn    
05015.00 1330-1430 Radio Costa Brava Int  EU       English           10 kW   4125N 00210E 000100000 Miravia     
05025.00 0700-0800 Pacific Atoll Radio    AS/CA    English           10 kW   0131N 17300E 010000100 Atollia     
05040.00 2330-0030 Pacific Atoll Radio    AS       English           100 kW  0131N 17300E 000000100 Atollia     
05050.00 0430-0500 Southern Cross Radio   AU/AF    English           100 kW  3352S 15112E 000010010 Austrel     
05050.00 1400-1520 Southern Cross Radio   AS/SA    English           10 kW   3352S 15112E 001000100 Austrel     
05050.00 2330-0130 Radio Desert Star      SA       Arabic            10 kW   2417N 05422E 001000000 Qasirah     
05055.00 1230-1330 Voice of Nordhavn      AU       English           250 kW  6010N 02456E 000000010 Nordhavn    
05905.00 0630-0730 Radio Aurelia          NA/SA    English           300 kW  4812N 01622E 101000000 Aurelia     
05920.00 0300-0420 Voice of Nordhavn      CA       English           300 kW  6010N 02456E 010000000 Nordhavn    
05925.00 1230-1350 Voice of Nordhavn      AF       English           50 kW   6010N 02456E 000010000 Nordhavn    
05935.00 2100-2200 Southern Cross Radio   NA/CA    English           100 kW  3352S 15112E 110000000 Austrel     
05950.00 1530-1630 Maple Shore Radio      EU       French            500 kW  4540N 07542W 000100000 Mapleland   
05950.00 1830-1950 Southern Cross Radio   SA       English           50 kW   3352S 15112E 001000000 Austrel     
05965.00 2200-2300 Kestrel World Radio    AF/EU    Swahili           100 kW  0119S 03649E 000110000 Kestrelia   
05995.00 2300-0000 Kestrel World Radio    AF/SA    English           500 kW  0119S 03649E 001010000 Kestrelia   
06020.00 1600-1700 Radio Isla Verde       AS/AU    English           250 kW  1828N 06604W 000000110 Isla Verde  
06030.00 1730-1830 Voz del Altiplano      AF       Spanish           50 kW   1630S 06809W 000010000 Altiplano   
06035.00 0630-0730 Maple Shore Radio      AS       French            50 kW   4540N 07542W 000000100 Mapleland   
06035.00 0830-0930 Maple Shore Radio      AU       French            300 kW  4540N 07542W 000000010 Mapleland   
06035.00 1800-1900 Sahel Broadcasting Svc PA/SA    English           100 kW  1239N 00759W 001000001 Sahelia     
06040.00 1600-1700 Southern Cross Radio   AS/ME    English           250 kW  3352S 15112E 000001100 Austrel     
06045.00 1300-1500 Southern Cross Radio   NA       English           100 kW  3352S 15112E 100000000 Austrel     
06050.00 1000-1030 Radio Costa Brava Int  CA       English           50 kW   4125N 00210E 010000000 Miravia     
06075.00 2000-2120 Pacific Atoll Radio    PA       English           100 kW  0131N 17300E 000000001 Atollia     
06095.00 1000-1100 Sahel Broadcasting Svc AS/ME    Hausa             500 kW  1239N 00759W 000001100 Sahelia     
06100.00 0000-0120 Kestrel World Radio    SA       Swahili           250 kW  0119S 03649E 001000000 Kestrelia   
06115.00 2200-2300 Voice of Nordhavn      SA       English           100 kW  6010N 02456E 001000000 Nordhavn    
06140.00 2230-2350 Radio Desert Star      AS/AF    Arabic            100 kW  2417N 05422E 000010100 Qasirah     
06150.00 1800-1900 Radio Costa Brava Int  EU       English           10 kW   4125N 00210E 000100000 Miravia     
06170.00 1800-2000 Southern Cross Radio   ME       English           10 kW   3352S 15112E 000001000 Austrel     
06170.00 2330-0000 Radio Lotus Bay        EU       English           100 kW  2218N 11410E 000100000 Lotus Bay   
06175.00 1300-1420 Radio Aurelia          NA       English           100 kW  4812N 01622E 100000000 Aurelia     
06185.00 1400-1500 Sahel Broadcasting Svc PA/NA    English           10 kW   1239N 00759W 100000001 Sahelia     
06190.00 0800-0900 Radio Desert Star      ME       English           500 kW  2417N 05422E 000001000 Qasirah     
07200.00 0500-0600 Pacific Atoll Radio    ME/AU    English           500 kW  0131N 17300E 000001010 Atollia     
07210.00 0330-0430 Southern Cross Radio   AS       English           100 kW  3352S 15112E 000000100 Austrel     
07215.00 0630-0730 Voz del Altiplano      CA       Quechua           500 kW  1630S 06809W 010000000 Altiplano   
07215.00 1700-1730 Radio Lotus Bay        AF       Chinese           300 kW  2218N 11410E 000010000 Lotus Bay   
07215.00 1700-1800 Maple Shore Radio      SA       French            10 kW   4540N 07542W 001000000 Mapleland   
07235.00 0330-0430 Kestrel World Radio    CA/PA    English           250 kW  0119S 03649E 010000001 Kestrelia   
07245.00 0100-0220 Sahel Broadcasting Svc AF       English           50 kW   1239N 00759W 000010000 Sahelia     
07250.00 0830-0900 Voice of Nordhavn      CA/NA    Finnish           10 kW   6010N 02456E 110000000 Nordhavn    
07250.00 1030-1130 Radio Aurelia          AU/EU    German            500 kW  4812N 01622E 000100010 Aurelia     
07250.00 1700-1800 Pacific Atoll Radio    PA/CA    English           300 kW  0131N 17300E 010000001 Atollia     
07260.00 1830-1930 Radio Isla Verde       NA       English           100 kW  1828N 06604W 100000000 Isla Verde  
07270.00 0000-0100 Radio Desert Star      PA/ME    English           100 kW  2417N 05422E 000001001 Qasirah     
07290.00 0000-0100 Maple Shore Radio      AF/CA    English           500 kW  4540N 07542W 010010000 Mapleland   
07295.00 0230-0330 Kestrel World Radio    AU/NA    English           50 kW   0119S 03649E 100000010 Kestrelia   
07295.00 1130-1330 Radio Isla Verde       ME/AU    English           10 kW   1828N 06604W 000001010 Isla Verde  
07315.00 1500-1530 Radio Costa Brava Int  PA       English           250 kW  4125N 00210E 000000001 Miravia     
07320.00 0300-0400 Radio Costa Brava Int  NA       English           10 kW   4125N 00210E 100000000 Miravia     
07320.00 0800-1000 Southern Cross Radio   NA       English           250 kW  3352S 15112E 100000000 Austrel     
07330.00 2000-2120 Pacific Atoll Radio    SA/ME    English           10 kW   0131N 17300E 001001000 Atollia     
07415.00 0000-0030 Radio Costa Brava Int  AS/ME    Spanish           250 kW  4125N 00210E 000001100 Miravia     
07420.00 0730-0830 Radio Isla Verde       AS/SA    Spanish           300 kW  1828N 06604W 001000100 Isla Verde  
07450.00 1730-1930 Voice of Nordhavn      CA       English           50 kW   6010N 02456E 010000000 Nordhavn    
07455.50 0630-0730 Sahel Broadcasting Svc NA       Hausa             500 kW  1239N 00759W 100000000 Sahelia     
07465.00 0300-0330 Kestrel World Radio    AU/ME    Swahili           250 kW  0119S 03649E 000001010 Kestrelia   
07465.00 2030-2130 Voice of Nordhavn      PA       Finnish           300 kW  6010N 02456E 000000001 Nordhavn    
07465.00 2100-2130 Southern Cross Radio   PA/AF    English           50 kW   3352S 15112E 000010001 Austrel     
07475.00 2200-2230 Radio Isla Verde       SA       Spanish           10 kW   1828N 06604W 001000000 Isla Verde  
07480.00 0300-0420 Sahel Broadcasting Svc NA       Hausa             250 kW  1239N 00759W 100000000 Sahelia     
07485.00 1030-1130 Maple Shore Radio      AU       French            10 kW   4540N 07542W 000000010 Mapleland   
07490.00 0830-0930 Radio Aurelia          CA       French            100 kW  4812N 01622E 010000000 Aurelia     
07495.00 0200-0400 Kestrel World Radio    NA/CA    English           10 kW   0119S 03649E 110000000 Kestrelia   
07495.00 1300-1400 Voice of Nordhavn      NA       English           500 kW  6010N 02456E 100000000 Nordhavn    
07510.00 2000-2200 Radio Desert Star      ME/NA    English           250 kW  2417N 05422E 100001000 Qasirah     
07535.00 1330-1430 Southern Cross Radio   PA       English           300 kW  3352S 15112E 000000001 Austrel     
07540.00 0100-0130 Radio Aurelia          SA/ME    German            300 kW  4812N 01622E 001001000 Aurelia     
07540.00 1300-1400 Voz del Altiplano      ME       Quechua           500 kW  1630S 06809W 000001000 Altiplano   
07565.00 0200-0300 Southern Cross Radio   PA       English           10 kW   3352S 15112E 000000001 Austrel     
07570.50 2300-0000 Kestrel World Radio    SA       English           100 kW  0119S 03649E 001000000 Kestrelia   
07580.00 0900-1000 Radio Isla Verde       SA       Spanish           10 kW   1828N 06604W 001000000 Isla Verde  
09400.00 0730-0850 Voz del Altiplano      NA       Quechua           100 kW  1630S 06809W 100000000 Altiplano   
09400.00 2230-2350 Pacific Atoll Radio    EU/AS    English           250 kW  0131N 17300E 000100100 Atollia     
09425.00 2000-2100 Radio Lotus Bay        CA/AF    Chinese           500 kW  2218N 11410E 010010000 Lotus Bay   
09430.00 0900-1000 Radio Costa Brava Int  AF       English           250 kW  4125N 00210E 000010000 Miravia     
09435.00 1800-1830 Southern Cross Radio   AU/AF    English           50 kW   3352S 15112E 000010010 Austrel     
09445.00 0430-0630 Radio Aurelia          ME/CA    French            10 kW   4812N 01622E 010001000 Aurelia     
09465.00 2330-0030 Voice of Nordhavn      AU       English           10 kW   6010N 02456E 000000010 Nordhavn    
09500.00 0800-0900 Kestrel World Radio    EU       Swahili           100 kW  0119S 03649E 000100000 Kestrelia   
09500.00 1200-1300 Voz del Altiplano      EU       Quechua           250 kW  1630S 06809W 000100000 Altiplano   
09510.00 1700-1820 Radio Isla Verde       NA/CA    Spanish           300 kW  1828N 06604W 110000000 Isla Verde  
09515.00 2200-2300 Radio Costa Brava Int  PA       English           300 kW  4125N 00210E 000000001 Miravia     
09515.00 2230-2330 Kestrel World Radio    ME       Swahili           50 kW   0119S 03649E 000001000 Kestrelia   
09520.50 0500-0600 Southern Cross Radio   NA/CA    English           10 kW   3352S 15112E 110000000 Austrel     
09585.00 1700-1900 Radio Aurelia          NA/SA    French            500 kW  4812N 01622E 101000000 Aurelia     
09585.00 1730-1830 Voz del Altiplano      AS/CA    Spanish           10 kW   1630S 06809W 010000100 Altiplano   
09620.00 2100-2300 Radio Costa Brava Int  PA       English           50 kW   4125N 00210E 000000001 Miravia     
09650.00 2100-2200 Voice of Nordhavn      SA       Finnish           300 kW  6010N 02456E 001000000 Nordhavn    
09660.00 1600-1630 Radio Isla Verde       AF/PA    Spanish           100 kW  1828N 06604W 000010001 Isla Verde  
09685.00 0130-0230 Maple Shore Radio      SA/AU    French            50 kW   4540N 07542W 001000010 Mapleland   
09715.00 0330-0430 Voz del Altiplano      AF       Spanish           500 kW  1630S 06809W 000010000 Altiplano   
09740.00 0200-0230 Sahel Broadcasting Svc AF       Hausa             250 kW  1239N 00759W 000010000 Sahelia     
09760.00 1000-1120 Voice of Nordhavn      AU/PA    English           100 kW  6010N 02456E 000000011 Nordhavn    
09760.00 2130-2230 Kestrel World Radio    AU       Swahili           250 kW  0119S 03649E 000000010 Kestrelia   
09765.00 1330-1450 Radio Desert Star      AF/CA    Arabic            500 kW  2417N 05422E 010010000 Qasirah     
09775.00 0430-0550 Southern Cross Radio   AU       English           250 kW  3352S 15112E 000000010 Austrel     
09790.00 1100-1200 Kestrel World Radio    EU       English           50 kW   0119S 03649E 000100000 Kestrelia   
09795.00 1500-1700 Southern Cross Radio   CA       English           10 kW   3352S 15112E 010000000 Austrel     
09800.00 1700-1730 Radio Aurelia          NA       French            50 kW   4812N 01622E 100000000 Aurelia     
09805.00 1130-1230 Radio Aurelia          SA       English           10 kW   4812N 01622E 001000000 Aurelia     
09815.00 0100-0300 Pacific Atoll Radio    CA/EU    English           10 kW   0131N 17300E 010100000 Atollia     
09840.00 1700-1900 Radio Isla Verde       EU/SA    Spanish           100 kW  1828N 06604W 001100000 Isla Verde  
09860.00 0200-0320 Radio Aurelia          ME/AU    English           50 kW   4812N 01622E 000001010 Aurelia     
09860.00 0500-0600 Kestrel World Radio    ME       English           10 kW   0119S 03649E 000001000 Kestrelia   
09865.00 0730-0930 Sahel Broadcasting Svc NA/CA    French            10 kW   1239N 00759W 110000000 Sahelia     
09865.00 0800-0900 Kestrel World Radio    EU/PA    Swahili           300 kW  0119S 03649E 000100001 Kestrelia   
09890.00 2030-2230 Radio Lotus Bay        AF       Chinese           300 kW  2218N 11410E 000010000 Lotus Bay   
09900.00 0400-0500 Pacific Atoll Radio    PA       English           100 kW  0131N 17300E 000000001 Atollia     
11635.00 1900-1930 Sahel Broadcasting Svc PA       French            500 kW  1239N 00759W 000000001 Sahelia     
11650.00 1230-1330 Radio Costa Brava Int  AU       Spanish           100 kW  4125N 00210E 000000010 Miravia     
11665.00 0230-0350 Voz del Altiplano      ME/NA    Spanish           300 kW  1630S 06809W 100001000 Altiplano   
11705.00 1530-1630 Radio Costa Brava Int  AS/PA    Spanish           100 kW  4125N 00210E 000000101 Miravia     
11705.00 2200-2230 Maple Shore Radio      AU       French            50 kW   4540N 07542W 000000010 Mapleland   
11715.00 0000-0100 Radio Desert Star      AU/SA    English           100 kW  2417N 05422E 001000010 Qasirah     
11715.00 0500-0700 Radio Aurelia          NA       German            250 kW  4812N 01622E 100000000 Aurelia     
11715.00 1330-1430 Kestrel World Radio    AS       English           100 kW  0119S 03649E 000000100 Kestrelia   
11760.00 2330-0030 Radio Costa Brava Int  PA       Spanish           50 kW   4125N 00210E 000000001 Miravia     
11800.00 0300-0420 Radio Aurelia          AS       English           10 kW   4812N 01622E 000000100 Aurelia     
11805.00 0900-1000 Voice of Nordhavn      CA       English           100 kW  6010N 02456E 010000000 Nordhavn    
11850.00 1300-1420 Radio Costa Brava Int  AU/PA    Spanish           250 kW  4125N 00210E 000000011 Miravia     
11865.00 1000-1100 Sahel Broadcasting Svc PA       French            300 kW  1239N 00759W 000000001 Sahelia     
11865.00 1100-1300 Radio Isla Verde       AF       English           10 kW   1828N 06604W 000010000 Isla Verde  
11875.00 0200-0300 Radio Costa Brava Int  PA/EU    Spanish           300 kW  4125N 00210E 000100001 Miravia     
11875.00 1230-1430 Pacific Atoll Radio    NA/AU    English           10 kW   0131N 17300E 100000010 Atollia     
11935.00 0730-0830 Radio Aurelia          PA       English           50 kW   4812N 01622E 000000001 Aurelia     
11950.00 0800-0900 Radio Costa Brava Int  AS       Spanish           10 kW   4125N 00210E 000000100 Miravia     
11960.00 1800-1900 Radio Desert Star      AU/PA    English           100 kW  2417N 05422E 000000011 Qasirah     
11960.00 2300-2330 Voz del Altiplano      NA       Quechua           50 kW   1630S 06809W 100000000 Altiplano   
11980.00 0130-0330 Radio Aurelia          ME       French            500 kW  4812N 01622E 000001000 Aurelia     
12000.00 2030-2150 Radio Aurelia          AU       German            500 kW  4812N 01622E 000000010 Aurelia     
12020.50 1900-2020 Voice of Nordhavn      ME/EU    English           500 kW  6010N 02456E 000101000 Nordhavn    
12045.50 0830-0930 Radio Desert Star      AS       English           100 kW  2417N 05422E 000000100 Qasirah     
12050.00 2330-0030 Radio Costa Brava Int  AU/CA    Spanish           500 kW  4125N 00210E 010000010 Miravia     
13575.00 1430-1530 Sahel Broadcasting Svc AU       French            250 kW  1239N 00759W 000000010 Sahelia     
13575.00 1530-1630 Sahel Broadcasting Svc AF       Hausa             10 kW   1239N 00759W 000010000 Sahelia     
13595.00 0000-0100 Radio Desert Star      CA       Arabic            50 kW   2417N 05422E 010000000 Qasirah     
13595.00 2330-0000 Radio Isla Verde       CA       Spanish           300 kW  1828N 06604W 010000000 Isla Verde  
13620.00 1600-1700 Voice of Nordhavn      AU       English           250 kW  6010N 02456E 000000010 Nordhavn    
13630.00 1300-1400 Southern Cross Radio   NA       English           300 kW  3352S 15112E 100000000 Austrel     
13650.50 0930-1030 Radio Costa Brava Int  SA/AU    English           100 kW  4125N 00210E 001000010 Miravia     
13655.00 1900-2000 Southern Cross Radio   NA       English           100 kW  3352S 15112E 100000000 Austrel     
13660.00 0330-0430 Radio Costa Brava Int  SA       English           100 kW  4125N 00210E 001000000 Miravia     
13665.00 0000-0030 Kestrel World Radio    CA       English           100 kW  0119S 03649E 010000000 Kestrelia   
13685.00 1000-1200 Radio Lotus Bay        PA       English           10 kW   2218N 11410E 000000001 Lotus Bay   
13695.00 0900-1000 Voice of Nordhavn      AF/SA    Finnish           50 kW   6010N 02456E 001010000 Nordhavn    
13695.00 1800-1900 Radio Costa Brava Int  NA       English           250 kW  4125N 00210E 100000000 Miravia     
13710.00 0530-0730 Radio Costa Brava Int  EU       English           50 kW   4125N 00210E 000100000 Miravia     
13710.00 1600-1700 Radio Costa Brava Int  AU       English           300 kW  4125N 00210E 000000010 Miravia     
13735.00 1300-1420 Radio Lotus Bay        CA       English           50 kW   2218N 11410E 010000000 Lotus Bay   
13745.00 0230-0330 Southern Cross Radio   NA       English           500 kW  3352S 15112E 100000000 Austrel     
13750.50 1130-1230 Radio Desert Star      EU/CA    Arabic            250 kW  2417N 05422E 010100000 Qasirah     
13755.00 1600-1700 Radio Costa Brava Int  CA/NA    Spanish           50 kW   4125N 00210E 110000000 Miravia     
13760.00 1900-2000 Sahel Broadcasting Svc NA/AU    French            300 kW  1239N 00759W 100000010 Sahelia     
13765.00 1700-1800 Voice of Nordhavn      CA/EU    English           500 kW  6010N 02456E 010100000 Nordhavn    
13765.50 1430-1630 Voz del Altiplano      CA       Spanish           50 kW   1630S 06809W 010000000 Altiplano   
13770.00 1200-1320 Sahel Broadcasting Svc AS       French            300 kW  1239N 00759W 000000100 Sahelia     
13780.00 0630-0750 Radio Desert Star      CA       Arabic            300 kW  2417N 05422E 010000000 Qasirah     
13785.00 0800-1000 Radio Aurelia          AU/EU    German            10 kW   4812N 01622E 000100010 Aurelia     
13790.00 0300-0330 Radio Desert Star      EU       Arabic            250 kW  2417N 05422E 000100000 Qasirah     
13805.00 1130-1230 Radio Lotus Bay        CA/AF    Chinese           300 kW  2218N 11410E 010010000 Lotus Bay   
13810.00 2100-2300 Pacific Atoll Radio    EU       English           10 kW   0131N 17300E 000100000 Atollia     
13825.00 1330-1400 Maple Shore Radio      AS       English           250 kW  4540N 07542W 000000100 Mapleland   
13835.00 1130-1230 Pacific Atoll Radio    PA       English           10 kW   0131N 17300E 000000001 Atollia     
13840.00 1300-1400 Kestrel World Radio    AU       English           500 kW  0119S 03649E 000000010 Kestrelia   
13850.00 0530-0630 Sahel Broadcasting Svc ME/EU    English           300 kW  1239N 00759W 000101000 Sahelia     
13860.00 1700-1800 Pacific Atoll Radio    PA       English           100 kW  0131N 17300E 000000001 Atollia     
15105.00 0700-0820 Maple Shore Radio      AF       English           100 kW  4540N 07542W 000010000 Mapleland   
15125.00 0500-0600 Radio Isla Verde       AU       English           250 kW  1828N 06604W 000000010 Isla Verde  
15195.00 0800-0900 Radio Isla Verde       AS       Spanish           10 kW   1828N 06604W 000000100 Isla Verde  
15215.00 0300-0400 Radio Lotus Bay        CA       English           10 kW   2218N 11410E 010000000 Lotus Bay   
15295.00 0200-0300 Pacific Atoll Radio    PA       English           300 kW  0131N 17300E 000000001 Atollia     
15295.00 0200-0300 Radio Aurelia          CA       English           300 kW  4812N 01622E 010000000 Aurelia     
15305.50 1400-1520 Voz del Altiplano      SA/PA    Quechua           50 kW   1630S 06809W 001000001 Altiplano   
15320.00 2100-2300 Pacific Atoll Radio    AU/AF    English           10 kW   0131N 17300E 000010010 Atollia     
15340.00 2000-2100 Radio Costa Brava Int  NA       Spanish           250 kW  4125N 00210E 100000000 Miravia     
15405.00 1630-1750 Maple Shore Radio      SA       French            300 kW  4540N 07542W 001000000 Mapleland   
15435.00 2300-0000 Voz del Altiplano      AU/AS    Quechua           250 kW  1630S 06809W 000000110 Altiplano   
15440.00 1300-1500 Radio Aurelia          NA       German            50 kW   4812N 01622E 100000000 Aurelia     
15460.00 1800-1920 Maple Shore Radio      CA       French            10 kW   4540N 07542W 010000000 Mapleland   
15480.00 1100-1200 Maple Shore Radio      AS       French            300 kW  4540N 07542W 000000100 Mapleland   
15495.00 1230-1430 Radio Lotus Bay        NA/CA    Chinese           250 kW  2218N 11410E 110000000 Lotus Bay   
15495.00 1600-1800 Voz del Altiplano      AF       Quechua           300 kW  1630S 06809W 000010000 Altiplano   
15510.00 1400-1600 Radio Lotus Bay        PA       Chinese           100 kW  2218N 11410E 000000001 Lotus Bay   
15550.00 2330-0050 Radio Lotus Bay        AU       English           10 kW   2218N 11410E 000000010 Lotus Bay   
15560.00 1300-1400 Radio Costa Brava Int  ME/NA    English           250 kW  4125N 00210E 100001000 Miravia     
15590.00 1500-1700 Voz del Altiplano      EU       Quechua           500 kW  1630S 06809W 000100000 Altiplano   
15590.50 1200-1300 Radio Costa Brava Int  AF/CA    English           100 kW  4125N 00210E 010010000 Miravia     
15640.00 1500-1700 Radio Aurelia          EU/PA    English           300 kW  4812N 01622E 000100001 Aurelia     
15655.00 0100-0300 Voz del Altiplano      SA       Quechua           300 kW  1630S 06809W 001000000 Altiplano   
15665.50 0000-0100 Radio Desert Star      EU       Arabic            10 kW   2417N 05422E 000100000 Qasirah     
15700.00 1630-1700 Voz del Altiplano      AF       Quechua           250 kW  1630S 06809W 000010000 Altiplano   
15725.00 0430-0500 Kestrel World Radio    AU       Swahili           500 kW  0119S 03649E 000000010 Kestrelia   
15770.00 0230-0330 Radio Costa Brava Int  AS       Spanish           100 kW  4125N 00210E 000000100 Miravia     
15780.00 0730-0930 Radio Desert Star      NA/AU    English           500 kW  2417N 05422E 100000010 Qasirah     
15790.00 0200-0400 Voz del Altiplano      SA/AU    Spanish           50 kW   1630S 06809W 001000010 Altiplano   
15800.00 0500-0600 Radio Aurelia          EU/AU    English           100 kW  4812N 01622E 000100010 Aurelia     
17480.00 0300-0500 Sahel Broadcasting Svc PA       English           10 kW   1239N 00759W 000000001 Sahelia     
17480.00 1500-1600 Voice of Nordhavn      PA       English           250 kW  6010N 02456E 000000001 Nordhavn    
17490.00 0330-0400 Voz del Altiplano      AF       Spanish           10 kW   1630S 06809W 000010000 Altiplano   
17490.00 1500-1600 Pacific Atoll Radio    PA       English           10 kW   0131N 17300E 000000001 Atollia     
17515.00 1200-1230 Radio Desert Star      AS       Arabic            50 kW   2417N 05422E 000000100 Qasirah     
17515.00 2030-2130 Radio Lotus Bay        ME/AU    Chinese           300 kW  2218N 11410E 000001010 Lotus Bay   
17535.00 2030-2130 Voz del Altiplano      AF       Spanish           50 kW   1630S 06809W 000010000 Altiplano   
17565.00 2330-0030 Sahel Broadcasting Svc AS       Hausa             50 kW   1239N 00759W 000000100 Sahelia     
17575.00 0300-0400 Radio Isla Verde       CA       English           300 kW  1828N 06604W 010000000 Isla Verde  
17580.00 1300-1400 Southern Cross Radio   SA       English           250 kW  3352S 15112E 001000000 Austrel     
17595.00 0800-0920 Voz del Altiplano      AU/CA    Quechua           300 kW  1630S 06809W 010000010 Altiplano   
17600.00 1900-2000 Radio Desert Star      NA       Arabic            50 kW   2417N 05422E 100000000 Qasirah     
17615.00 0200-0400 Maple Shore Radio      CA/PA    English           500 kW  4540N 07542W 010000001 Mapleland   
17620.00 1430-1630 Kestrel World Radio    AU       Swahili           100 kW  0119S 03649E 000000010 Kestrelia   
17620.00 2000-2030 Radio Costa Brava Int  AF       English           300 kW  4125N 00210E 000010000 Miravia     
17630.50 2300-0000 Radio Costa Brava Int  CA/AS    English           50 kW   4125N 00210E 010000100 Miravia     
17685.00 1200-1300 Southern Cross Radio   PA/AS    English           50 kW   3352S 15112E 000000101 Austrel     
17700.00 0700-0820 Radio Desert Star      AF/CA    Arabic            10 kW   2417N 05422E 010010000 Qasirah     
17700.00 2100-2200 Voice of Nordhavn      PA/AS    Finnish           50 kW   6010N 02456E 000000101 Nordhavn    
17705.00 0130-0200 Kestrel World Radio    EU       English           500 kW  0119S 03649E 000100000 Kestrelia   
17710.00 0000-0100 Kestrel World Radio    AU       Swahili           10 kW   0119S 03649E 000000010 Kestrelia   
17710.00 2300-2330 Pacific Atoll Radio    ME       English           50 kW   0131N 17300E 000001000 Atollia     
17730.00 1600-1630 Radio Desert Star      CA       English           250 kW  2417N 05422E 010000000 Qasirah     
17760.00 1200-1300 Voice of Nordhavn      EU       Finnish           500 kW  6010N 02456E 000100000 Nordhavn    
17775.00 0730-0800 Radio Lotus Bay        AS       English           10 kW   2218N 11410E 000000100 Lotus Bay   
17795.00 0200-0300 Voz del Altiplano      ME/PA    Quechua           500 kW  1630S 06809W 000001001 Altiplano   
17800.00 1800-1920 Kestrel World Radio    AS       Swahili           100 kW  0119S 03649E 000000100 Kestrelia   
17800.00 1900-2100 Southern Cross Radio   AS       English           10 kW   3352S 15112E 000000100 Austrel     
17845.00 1500-1600 Voz del Altiplano      EU       Quechua           100 kW  1630S 06809W 000100000 Altiplano   
17850.00 0000-0100 Pacific Atoll Radio    AF/EU    English           50 kW   0131N 17300E 000110000 Atollia     
17855.00 1700-1730 Voice of Nordhavn      SA/NA    English           500 kW  6010N 02456E 101000000 Nordhavn    
17870.00 1230-1430 Maple Shore Radio      NA/ME    English           250 kW  4540N 07542W 100001000 Mapleland   
17885.00 1530-1730 Voice of Nordhavn      AU       English           100 kW  6010N 02456E 000000010 Nordhavn    
21460.00 0500-0620 Radio Costa Brava Int  AS       Spanish           250 kW  4125N 00210E 000000100 Miravia     
21460.00 2000-2030 Radio Lotus Bay        EU       English           300 kW  2218N 11410E 000100000 Lotus Bay   
21465.00 1600-1700 Radio Isla Verde       AF/SA    English           250 kW  1828N 06604W 001010000 Isla Verde  
21475.00 2000-2200 Radio Lotus Bay        AU       Chinese           250 kW  2218N 11410E 000000010 Lotus Bay   
21515.00 1830-1950 Radio Aurelia          AS       French            100 kW  4812N 01622E 000000100 Aurelia     
21530.00 0300-0330 Southern Cross Radio   ME       English           250 kW  3352S 15112E 000001000 Austrel     
21540.00 0100-0200 Radio Aurelia          NA/ME    English           500 kW  4812N 01622E 100001000 Aurelia     
21540.00 0200-0300 Radio Isla Verde       EU/CA    Spanish           250 kW  1828N 06604W 010100000 Isla Verde  
21540.00 1630-1730 Radio Desert Star      NA       Arabic            10 kW   2417N 05422E 100000000 Qasirah     
21555.00 0800-1000 Pacific Atoll Radio    AF       English           250 kW  0131N 17300E 000010000 Atollia     
21570.00 1200-1230 Kestrel World Radio    EU/ME    Swahili           500 kW  0119S 03649E 000101000 Kestrelia   
21575.00 1000-1120 Kestrel World Radio    PA       English           500 kW  0119S 03649E 000000001 Kestrelia   
21595.00 0100-0200 Voz del Altiplano      NA       Quechua           500 kW  1630S 06809W 100000000 Altiplano   
21605.00 2300-0000 Radio Lotus Bay        PA       Chinese           500 kW  2218N 11410E 000000001 Lotus Bay   
21615.00 1200-1400 Radio Lotus Bay        ME/SA    Chinese           300 kW  2218N 11410E 001001000 Lotus Bay   
21635.00 1630-1730 Radio Costa Brava Int  PA/SA    Spanish           500 kW  4125N 00210E 001000001 Miravia     
21640.00 2330-0030 Radio Desert Star      PA/AU    Arabic            500 kW  2417N 05422E 000000011 Qasirah     
21705.00 1830-1930 Pacific Atoll Radio    NA       English           50 kW   0131N 17300E 100000000 Atollia     
21720.00 0100-0300 Radio Lotus Bay        AU/PA    English           100 kW  2218N 11410E 000000011 Lotus Bay   
21730.00 1130-1230 Pacific Atoll Radio    CA/NA    English           100 kW  0131N 17300E 110000000 Atollia     
21760.00 0900-0930 Radio Aurelia          EU/ME    French            100 kW  4812N 01622E 000101000 Aurelia     
21760.00 1700-1730 Maple Shore Radio      CA       English           10 kW   4540N 07542W 010000000 Mapleland   
21770.00 2200-2300 Voice of Nordhavn      AF       English           100 kW  6010N 02456E 000010000 Nordhavn    
21825.00 0400-0430 Voice of Nordhavn      NA       Finnish           500 kW  6010N 02456E 100000000 Nordhavn    
21830.00 1200-1300 Radio Isla Verde       EU/ME    English           10 kW   1828N 06604W 000101000 Isla Verde  
21845.00 1800-1900 Voice of Nordhavn      SA       Finnish           500 kW  6010N 02456E 001000000 Nordhavn    
25670.00 1600-1700 Radio Costa Brava Int  AU       English           50 kW   4125N 00210E 000000010 Miravia     
25670.00 2030-2100 Radio Desert Star      PA/NA    Arabic            250 kW  2417N 05422E 100000001 Qasirah     
25675.00 2000-2100 Maple Shore Radio      NA/CA    English           250 kW  4540N 07542W 110000000 Mapleland   
25695.00 1800-1830 Kestrel World Radio    AU       English           10 kW   0119S 03649E 000000010 Kestrelia   
25700.00 0700-0820 Radio Isla Verde       AU       Spanish           50 kW   1828N 06604W 000000010 Isla Verde  
25705.00 0800-0920 Voz del Altiplano      SA/AF    Quechua           250 kW  1630S 06809W 001010000 Altiplano   
25705.00 2100-2300 Radio Costa Brava Int  EU       Spanish           100 kW  4125N 00210E 000100000 Miravia     
25710.00 1330-1430 Radio Costa Brava Int  NA       Spanish           100 kW  4125N 00210E 100000000 Miravia     
25715.00 1630-1730 Radio Isla Verde       AF       Spanish           10 kW   1828N 06604W 000010000 Isla Verde  
25720.00 0100-0130 Voice of Nordhavn      NA       English           300 kW  6010N 02456E 100000000 Nordhavn    
25720.00 1230-1330 Pacific Atoll Radio    SA/CA    English           500 kW  0131N 17300E 011000000 Atollia     
25725.00 2100-2130 Radio Lotus Bay        ME       Chinese           10 kW   2218N 11410E 000001000 Lotus Bay   
25735.00 0530-0600 Sahel Broadcasting Svc NA/EU    English           300 kW  1239N 00759W 100100000 Sahelia     
25735.00 2000-2030 Pacific Atoll Radio    CA       English           300 kW  0131N 17300E 010000000 Atollia     
25740.00 0800-0900 Voice of Nordhavn      EU/PA    English           100 kW  6010N 02456E 000100001 Nordhavn    
25750.00 1900-1930 Radio Isla Verde       AS       Spanish           50 kW   1828N 06604W 000000100 Isla Verde  
25770.00 0700-0820 Kestrel World Radio    PA/NA    English           50 kW   0119S 03649E 100000001 Kestrelia   
25785.50 1700-1800 Radio Aurelia          PA/EU    English           250 kW  4812N 01622E 000100001 Aurelia     
25805.00 1900-2020 Radio Isla Verde       AU/NA    Spanish           50 kW   1828N 06604W 100000010 Isla Verde  
25820.00 0500-0600 Radio Costa Brava Int  AF/PA    Spanish           50 kW   4125N 00210E 000010001 Miravia     
25840.00 2000-2120 Radio Isla Verde       AS       English           10 kW   1828N 06604W 000000100 Isla Verde  
25855.00 2130-2330 Radio Lotus Bay        AS       Chinese           500 kW  2218N 11410E 000000100 Lotus Bay   
25860.00 1600-1700 Radio Isla Verde       EU/PA    English           250 kW  1828N 06604W 000100001 Isla Verde  
25880.00 1400-1600 Sahel Broadcasting Svc CA       French            250 kW  1239N 00759W 010000000 Sahelia     
25885.00 1500-1700 Sahel Broadcasting Svc NA       French            50 kW   1239N 00759W 100000000 Sahelia     
25895.00 1800-2000 Kestrel World Radio    ME/NA    Swahili           300 kW  0119S 03649E 100001000 Kestrelia   
25910.00 2100-2300 Radio Desert Star      ME       English           100 kW  2417N 05422E 000001000 Qasirah     
25935.50 2000-2120 Kestrel World Radio    PA       Swahili           300 kW  0119S 03649E 000000001 Kestrelia   
25945.00 1600-1700 Maple Shore Radio      AS       English           50 kW   4540N 07542W 000000100 Mapleland   
25955.00 1500-1600 Maple Shore Radio      EU/AS    French            50 kW   4540N 07542W 000100100 Mapleland   
25995.00 1300-1400 Southern Cross Radio   AS       English           500 kW  3352S 15112E 000000100 Austrel     
26005.00 1600-1630 Radio Costa Brava Int  AF       English           100 kW  4125N 00210E 000010000 Miravia     
26035.00 0330-0530 Radio Costa Brava Int  AS/EU    Spanish           50 kW   4125N 00210E 000100100 Miravia     
26050.00 0000-0200 Maple Shore Radio      AF       English           250 kW  4540N 07542W 000010000 Mapleland   
26055.00 0300-0400 Maple Shore Radio      PA       French            10 kW   4540N 07542W 000000001 Mapleland   
26060.00 1000-1100 Radio Desert Star      AS       Arabic            250 kW  2417N 05422E 000000100 Qasirah     
26085.00 1700-1800 Voz del Altiplano      CA       Spanish           250 kW  1630S 06809W 010000000 Altiplano   
26090.00 0530-0730 Radio Lotus Bay        PA/EU    Chinese           250 kW  2218N 11410E 000100001 Lotus Bay   
