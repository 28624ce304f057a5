00153.00 0100-0200 Kestrel World Radio    NA/AF    English           100 kW  0119S 03649E 100010000 Kestrelia   
00153.00 0200-0300 Maple Shore Radio      CA       English           250 kW  4540N 07542W 010000000 Mapleland   
00153.00 1630-1730 Radio Costa Brava Int  PA       English           300 kW  4125N 00210E 000000001 Miravia     
00153.00 1930-2130 Pacific Atoll Radio    SA       English           300 kW  0131N 17300E 001000000 Atollia     
00162.00 1130-1230 Radio Desert Star      ME       Arabic            500 kW  2417N 05422E 000001000 Qasirah     
00162.00 1200-1230 Southern Cross Radio   PA/CA    English           100 kW  3352S 15112E 010000001 Austrel     
00162.00 1430-1630 Southern Cross Radio   SA/AU    English           50 kW   3352S 15112E 001000010 Austrel     
00162.00 1600-1700 Radio Aurelia          AS/SA    German            10 kW   4812N 01622E 001000100 Aurelia     
00162.00 1600-1700 Radio Costa Brava Int  AF/ME    Spanish           300 kW  4125N 00210E 000011000 Miravia     
00171.00 0230-0430 Sahel Broadcasting Svc AS       Hausa             500 kW  1239N 00759W 000000100 Sahelia     
00171.00 1030-1130 Radio Desert Star      ME       Arabic            50 kW   2417N 05422E 000001000 Qasirah     
00171.00 1600-1720 Maple Shore Radio      AU/CA    English           50 kW   4540N 07542W 010000010 Mapleland   
00171.00 1800-1920 Radio Costa Brava Int  EU       Spanish           300 kW  4125N 00210E 000100000 Miravia     
00180.00 0100-0200 Radio Costa Brava Int  AU       Spanish           500 kW  4125N 00210E 000000010 Miravia     
00180.00 0600-0720 Kestrel World Radio    AS       English           100 kW  0119S 03649E 000000100 Kestrelia   
00180.00 0800-0900 Sahel Broadcasting Svc CA       English           500 kW  1239N 00759W 010000000 Sahelia     
00189.00 0030-0130 Radio Aurelia          CA       German            500 kW  4812N 01622E 010000000 Aurelia     
00189.00 1700-1800 Radio Costa Brava Int  CA/NA    English           500 kW  4125N 00210E 110000000 Miravia     
00189.00 1900-2000 Southern Cross Radio   AF/AS    English           100 kW  3352S 15112E 000010100 Austrel     
00189.00 1900-2020 Radio Isla Verde       PA       Spanish           50 kW   1828N 06604W 000000001 Isla Verde  
00189.00 2130-2250 Radio Costa Brava Int  SA       English           300 kW  4125N 00210E 001000000 Miravia     
00198.00 0600-0720 Radio Desert Star      CA       Arabic            500 kW  2417N 05422E 010000000 Qasirah     
00198.00 1400-1520 Pacific Atoll Radio    EU       English           50 kW   0131N 17300E 000100000 Atollia     
00198.00 1700-1800 Pacific Atoll Radio    NA/SA    English           100 kW  0131N 17300E 101000000 Atollia     
00198.00 1930-2130 Voice of Nordhavn      PA/AU    English           50 kW   6010N 02456E 000000011 Nordhavn    
00207.00 0100-0200 Sahel Broadcasting Svc PA       English           100 kW  1239N 00759W 000000001 Sahelia     
00207.00 0200-0230 Southern Cross Radio   EU       English           300 kW  3352S 15112E 000100000 Austrel     
00207.00 0800-0830 Maple Shore Radio      AU       French            50 kW   4540N 07542W 000000010 Mapleland   
00207.00 2100-2200 Radio Aurelia          AS       German            10 kW   4812N 01622E 000000100 Aurelia     
00216.00 0100-0300 Kestrel World Radio    NA/PA    Swahili           100 kW  0119S 03649E 100000001 Kestrelia   
00225.00 0000-0100 Kestrel World Radio    SA       English           50 kW   0119S 03649E 001000000 Kestrelia   
00225.00 0300-0400 Kestrel World Radio    ME       Swahili           500 kW  0119S 03649E 000001000 Kestrelia   
00234.00 0130-0230 Voice of Nordhavn      NA       English           100 kW  6010N 02456E 100000000 Nordhavn    
00234.00 1300-1420 Pacific Atoll Radio    NA       English           250 kW  0131N 17300E 100000000 Atollia     
00243.00 0200-0320 Kestrel World Radio    CA/NA    English           300 kW  0119S 03649E 110000000 Kestrelia   
00243.00 0700-0820 Radio Aurelia          PA/NA    French            10 kW   4812N 01622E 100000001 Aurelia     
00243.00 0900-1000 Radio Lotus Bay        EU       Chinese           500 kW  2218N 11410E 000100000 Lotus Bay   
00243.00 1500-1600 Maple Shore Radio      CA       English           250 kW  4540N 07542W 010000000 Mapleland   
00243.00 1630-1700 Radio Aurelia          NA/EU    German            50 kW   4812N 01622E 100100000 Aurelia     
00243.00 1830-1930 Maple Shore Radio      AS       French            100 kW  4540N 07542W 000000100 Mapleland   
00252.00 0300-0500 Radio Desert Star      NA/AF    English           500 kW  2417N 05422E 100010000 Qasirah     
00252.00 0700-0900 Radio Lotus Bay        CA/SA    Chinese           50 kW   2218N 11410E 011000000 Lotus Bay   
00252.00 1830-1930 Sahel Broadcasting Svc NA       Hausa             300 kW  1239N 00759W 100000000 Sahelia     
00261.00 0130-0230 Pacific Atoll Radio    AF/CA    English           300 kW  0131N 17300E 010010000 Atollia     
00261.00 0430-0530 Pacific Atoll Radio    PA/AU    English           10 kW   0131N 17300E 000000011 Atollia     
00261.00 0630-0750 Southern Cross Radio   AF       English           500 kW  3352S 15112E 000010000 Austrel     
00261.00 0900-1000 Kestrel World Radio    EU/PA    English           10 kW   0119S 03649E 000100001 Kestrelia   
00261.00 1200-1300 Voice of Nordhavn      NA/AU    Finnish           250 kW  6010N 02456E 100000010 Nordhavn    
00261.00 1900-2000 Southern Cross Radio   CA       English           500 kW  3352S 15112E 010000000 Austrel     
00270.00 0000-0100 Southern Cross Radio   CA       English           500 kW  3352S 15112E 010000000 Austrel     
00270.00 0300-0400 Radio Isla Verde       SA       Spanish           10 kW   1828N 06604W 001000000 Isla Verde  
00270.00 1630-1830 Voice of Nordhavn      NA       English           50 kW   6010N 02456E 100000000 Nordhavn    
00270.00 1900-2100 Pacific Atoll Radio    SA       English           250 kW  0131N 17300E 001000000 Atollia     
00270.00 2030-2230 Radio Lotus Bay        AF       Chinese           100 kW  2218N 11410E 000010000 Lotus Bay   
00279.00 0700-0800 Radio Isla Verde       CA/AU    Spanish           50 kW   1828N 06604W 010000010 Isla Verde  
00279.00 1530-1630 Voz del Altiplano      EU/SA    Spanish           500 kW  1630S 06809W 001100000 Altiplano   
00279.00 1700-1800 Pacific Atoll Radio    AS       English           50 kW   0131N 17300E 000000100 Atollia     
00558.00 0400-0430 Kestrel World Radio    AU       Swahili           500 kW  0119S 03649E 000000010 Kestrelia   
00567.00 1030-1150 Voz del Altiplano      AU/ME    Quechua           250 kW  1630S 06809W 000001010 Altiplano   
00612.00 1830-1950 Radio Aurelia          AS       German            300 kW  4812N 01622E 000000100 Aurelia     
00648.00 1030-1100 Radio Isla Verde       AS       English           50 kW   1828N 06604W 000000100 Isla Verde  
00684.00 0930-1000 Radio Aurelia          AU/SA    English           50 kW   4812N 01622E 001000010 Aurelia     
00729.00 0400-0520 Voice of Nordhavn      CA       English           300 kW  6010N 02456E 010000000 Nordhavn    
00738.00 1430-1530 Radio Isla Verde       AU       Spanish           50 kW   1828N 06604W 000000010 Isla Verde  
00738.00 1800-1830 Pacific Atoll Radio    NA/EU    English           50 kW   0131N 17300E 100100000 Atollia     
00747.00 1200-1300 Radio Aurelia          CA       German            10 kW   4812N 01622E 010000000 Aurelia     
00774.00 0600-0700 Maple Shore Radio      CA       English           500 kW  4540N 07542W 010000000 Mapleland   
00774.00 1100-1220 Voz del Altiplano      AF/SA    Spanish           50 kW   1630S 06809W 001010000 Altiplano   
00774.00 1700-1730 Voice of Nordhavn      AS/PA    Finnish           300 kW  6010N 02456E 000000101 Nordhavn    
00783.00 0500-0600 Radio Costa Brava Int  AS       English           250 kW  4125N 00210E 000000100 Miravia     
00783.00 0800-0830 Kestrel World Radio    NA       English           500 kW  0119S 03649E 100000000 Kestrelia   
00792.00 2100-2220 Radio Aurelia          AU/EU    English           100 kW  4812N 01622E 000100010 Aurelia     
00801.00 0600-0800 Sahel Broadcasting Svc NA       Hausa             50 kW   1239N 00759W 100000000 Sahelia     
00801.00 1730-1830 Radio Desert Star      SA/AU    Arabic            50 kW   2417N 05422E 001000010 Qasirah     
00882.00 1530-1730 Kestrel World Radio    PA/ME    Swahili           250 kW  0119S 03649E 000001001 Kestrelia   
00891.00 0100-0300 Southern Cross Radio   AU       English           500 kW  3352S 15112E 000000010 Austrel     
00909.00 1300-1500 Radio Desert Star      AF/AU    English           50 kW   2417N 05422E 000010010 Qasirah     
00927.00 1700-1800 Radio Desert Star      SA       English           300 kW  2417N 05422E 001000000 Qasirah     
00945.00 1730-1830 Radio Aurelia          NA       French            10 kW   4812N 01622E 100000000 Aurelia     
00963.00 0530-0630 Radio Isla Verde       AS       English           300 kW  1828N 06604W 000000100 Isla Verde  
00981.00 1130-1230 Radio Desert Star      AS       English           300 kW  2417N 05422E 000000100 Qasirah     
00990.00 1400-1600 Radio Aurelia          SA       German            500 kW  4812N 01622E 001000000 Aurelia     
00990.00 2100-2220 Maple Shore Radio      SA       English           500 kW  4540N 07542W 001000000 Mapleland   
00999.00 2300-0000 Radio Desert Star      AS       English           100 kW  2417N 05422E 000000100 Qasirah     
01008.00 0630-0730 Radio Lotus Bay        NA       Chinese           100 kW  2218N 11410E 100000000 Lotus Bay   
01026.00 0130-0230 Pacific Atoll Radio    SA       English           10 kW   0131N 17300E 001000000 Atollia     
01026.00 2300-0000 Radio Aurelia          AU       English           300 kW  4812N 01622E 000000010 Aurelia     
01035.00 0900-1000 Kestrel World Radio    SA/NA    Swahili           250 kW  0119S 03649E 101000000 Kestrelia   
01044.00 1200-1300 Radio Isla Verde       CA       English           50 kW   1828N 06604W 010000000 Isla Verde  
01053.00 0900-1000 Radio Desert Star      CA       English           300 kW  2417N 05422E 010000000 Qasirah     
01053.00 1400-1500 Pacific Atoll Radio    EU       English           250 kW  0131N 17300E 000100000 Atollia     
01107.00 1330-1400 Sahel Broadcasting Svc AU       English           100 kW  1239N 00759W 000000010 Sahelia     
01116.00 2130-2230 Maple Shore Radio      EU       English           10 kW   4540N 07542W 000100000 Mapleland   
01161.00 0700-0800 Radio Costa Brava Int  NA/AF    English           500 kW  4125N 00210E 100010000 Miravia     
01197.00 0200-0300 Maple Shore Radio      AF       French            300 kW  4540N 07542W 000010000 Mapleland   
01215.00 0200-0230 Sahel Broadcasting Svc AF       French            50 kW   1239N 00759W 000010000 Sahelia     
01215.00 0300-0500 Maple Shore Radio      SA       French            50 kW   4540N 07542W 001000000 Mapleland   
01224.00 0530-0630 Kestrel World Radio    PA       English           100 kW  0119S 03649E 000000001 Kestrelia   
01278.00 0400-0500 Pacific Atoll Radio    ME/PA    English           250 kW  0131N 17300E 000001001 Atollia     
01305.00 2230-2330 Maple Shore Radio      AS       French            300 kW  4540N 07542W 000000100 Mapleland   
01314.00 0100-0200 Radio Desert Star      AS       Arabic            300 kW  2417N 05422E 000000100 Qasirah     
01323.00 0600-0630 Pacific Atoll Radio    CA/SA    English           500 kW  0131N 17300E 011000000 Atollia     
01323.00 0800-1000 Radio Aurelia          NA       English           10 kW   4812N 01622E 100000000 Aurelia     
01323.00 1700-1730 Kestrel World Radio    EU       Swahili           300 kW  0119S 03649E 000100000 Kestrelia   
01323.00 1800-1920 Southern Cross Radio   AU/CA    English           10 kW   3352S 15112E 010000010 Austrel     
01368.00 0800-0900 Radio Costa Brava Int  EU/PA    English           300 kW  4125N 00210E 000100001 Miravia     
01377.00 0100-0300 Maple Shore Radio      ME/CA    French            10 kW   4540N 07542W 010001000 Mapleland   
01386.00 0600-0720 Southern Cross Radio   AU       English           500 kW  3352S 15112E 000000010 Austrel     
01404.00 1900-2100 Voice of Nordhavn      EU/CA    Finnish           10 kW   6010N 02456E 010100000 Nordhavn    
01422.00 1200-1300 Voice of Nordhavn      EU/AS    English           50 kW   6010N 02456E 000100100 Nordhavn    
01449.00 0130-0230 Voice of Nordhavn      NA       English           100 kW  6010N 02456E 100000000 Nordhavn    
01449.00 0700-0730 Radio Costa Brava Int  AF       Spanish           300 kW  4125N 00210E 000010000 Miravia     
01485.00 0300-0420 Radio Aurelia          AU       French            50 kW   4812N 01622E 000000010 Aurelia     
01503.00 1900-2000 Sahel Broadcasting Svc PA       English           10 kW   1239N 00759W 000000001 Sahelia     
01512.00 1130-1230 Radio Isla Verde       NA/AF    Spanish           50 kW   1828N 06604W 100010000 Isla Verde  
01521.00 1200-1300 Voz del Altiplano      AU       Spanish           50 kW   1630S 06809W 000000010 Altiplano   
01521.00 2200-2320 Maple Shore Radio      CA/NA    English           50 kW   4540N 07542W 110000000 Mapleland   
01548.00 1900-2000 Sahel Broadcasting Svc PA/ME    French            500 kW  1239N 00759W 000001001 Sahelia     
01584.00 1600-1630 Sahel Broadcasting Svc AU/PA    French            300 kW  1239N 00759W 000000011 Sahelia     
01602.00 1700-1800 Maple Shore Radio      SA       English           250 kW  4540N 07542W 001000000 Mapleland   
