-- Demo rows of the stores' interface database: movements of two stores on 05/03/2008. Store 001
-- sells in two tickets (article 123 in both), takes coffee out and receives sugar; store 002
-- receives coffee and sugar (the sugar under the same point of sale and number as store 001's),
-- sells cheese by weight and one article the head office does not know (999999).

INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'VT', '0001', '00000010', 'VENTA', '123', 2, 133.25, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'VT', '0001', '00000010', 'VENTA', '456', 1, 43.92, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '002', 'IN', '0002', '00000003', 'INGRESO', '789', 24, 0, '002')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '002', 'VT', '0002', '00000011', 'VENTA', '999999', 1, 10, '002')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'VT', '0001', '00000012', 'VENTA', '123', 1, 66.62, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'VT', '0001', '00000012', 'VENTA', '789', 2, 214.6, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '002', 'VT', '0002', '00000012', 'VENTA', 'QUESO-KG-1', 0.75, 131.77, '002')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'AJ', '0001', '00000005', 'EGRESO', '789', 1, 0, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'IN', '0003', '00000007', 'INGRESO', '123', 6, 0, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '002', 'IN', '0003', '00000007', 'INGRESO', '123', 4, 0, '002')
