-- rpt重工明細表 (重工明細表)
select *  from [重工明細表] where PO >= '' And PO <= 'zzzzzzzzz' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%%' or NAME like '%%')  order by 種類, PO 
select *  from [重工明細表] where PO >= '' And PO <= 'zzzzzzzzz' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%%' or NAME like '%%')  order by 種類, PO 
select *  from [重工明細表] where PO >= '' And PO <= 'zzzzzzzzz' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%%' or NAME like '%%')  order by 種類, PO 
select *  from [重工明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (SNAME like '%O''Neil%')  and (種類 = '印刷')  order by 種類, PO 
select *  from [重工明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (SNAME like '%O''Neil%')  and (種類 = '工單')  order by 種類, PO 
select *  from [重工明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (SNAME like '%O''Neil%')  and (種類 = '製版')  order by 種類, PO 
select *  from [重工明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (SNAME like '%O''Neil%')  order by 種類, PO 

-- rpt打樣明細表 (打樣明細表)
select *  from [打樣明細表] where PO >= '' And PO <= 'zzzzzzzzz' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%%' or NAME like '%%') 
select *  from [打樣明細表] where PO >= '' And PO <= 'zzzzzzzzz' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%%' or NAME like '%%')  order by PO 
select *  from [打樣明細表] where PO >= '' And PO <= 'zzzzzzzzz' And ( ODATE >= '1150701' And ODATE <= '1151231') and ( EMPNO like '%%' or NAME like '%%') 
select *  from [打樣明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') And SNAME like '%O''Neil%' and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by PO 
select *  from [打樣明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') And SNAME like '%O''Neil%' and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by PO 
select *  from [打樣明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') And SNAME like '%O''Neil%' and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by PO 
select *  from [打樣明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= '1150701' And ODATE <= '1151231') And SNAME like '%O''Neil%' and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by PO 

-- rpt留版明細表 (留版明細表)
select * from [留版明細表4] where PO between '' And 'zzzzzzzzz' And ( ODATE between '1151001' And '1151231') And ( CUST like '%%' or SNAME like '%%') And ( VENDER like '%%' or SVENDER like '%%') and ( EMPNO like '%%' or NAME like '%%')  order by PO, [NO] 
select * from [留版明細表4] where PO between '' And 'zzzzzzzzz' And ( ODATE between '1151001' And '1151231') And ( CUST like '%%' or SNAME like '%%') And ( VENDER like '%%' or SVENDER like '%%') and ( EMPNO like '%%' or NAME like '%%')  order by PO, [NO] 
select * from [留版明細表4] where PO between '115100001' And '115119999' And ( ODATE between '1150701' And '1151231') And ( CUST like '%O''Neil%' or SNAME like '%O''Neil%') And ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (種類 = '印刷')  order by PO, [NO] 
select * from [留版明細表4] where PO between '115100001' And '115119999' And ( ODATE between '1150701' And '1151231') And ( CUST like '%O''Neil%' or SNAME like '%O''Neil%') And ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (種類 = '工單')  order by PO, [NO] 
select * from [留版明細表4] where PO between '115100001' And '115119999' And ( ODATE between '1150701' And '1151231') And ( CUST like '%O''Neil%' or SNAME like '%O''Neil%') And ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  and (種類 = '製版')  order by PO, [NO] 
select * from [留版明細表4] where PO between '115100001' And '115119999' And ( ODATE between '1150701' And '1151231') And ( CUST like '%O''Neil%' or SNAME like '%O''Neil%') And ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by PO, [NO] 

-- rpt刀模明細表1 (刀模明細表)
select *  from [刀模明細表] where ODATE >= '1151001' And ODATE <= '1151231' and ( VENDER like '%%' or SVENDER like '%%') and ( VENDER1 like '%%' or SVENDER1 like '%%') and ( EMPNO like '%%' or NAME like '%%')  order by VENDER1, PO, REM 
select *  from [刀模明細表] where ODATE >= '1151001' And ODATE <= '1151231' and ( VENDER like '%%' or SVENDER like '%%') and ( VENDER1 like '%%' or SVENDER1 like '%%') and ( EMPNO like '%%' or NAME like '%%')  order by VENDER1, PO, REM 
select *  from [刀模明細表] where ODATE >= '1150701' And ODATE <= '1151231' and ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( VENDER1 like '%R2%' or SVENDER1 like '%R2%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by VENDER, PO, REM 
select *  from [刀模明細表] where ODATE >= '1150701' And ODATE <= '1151231' and ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( VENDER1 like '%R2%' or SVENDER1 like '%R2%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by VENDER1, PO, REM 
select *  from [刀模明細表] where ODATE >= '1150701' And ODATE <= '1151231' and ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( VENDER1 like '%R2%' or SVENDER1 like '%R2%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by VENDER, PO, REM 
select *  from [刀模明細表] where ODATE >= '1150701' And ODATE <= '1151231' and ( VENDER like '%V''9%' or SVENDER like '%V''9%') and ( VENDER1 like '%R2%' or SVENDER1 like '%R2%') and ( EMPNO like '%x'' or ''1''=''1%' or NAME like '%x'' or ''1''=''1%')  order by VENDER1, PO, REM 

